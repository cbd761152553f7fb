// The printer object: the default printer's device context, one print job
// at a time (BeginDoc, NewPage, EndDoc, Abort) and a canvas on its pages.
//
// Printer() answers the process-wide object, made on first use;
// SetPrinter puts another in its place (tests print into a metafile with a
// descendant that overrides the device steps).
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>

#include "gcl/Graphics.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Objects.h"

namespace gcl {

namespace msg {
inline constexpr const char* NoDefaultPrinter = "There is no default printer currently selected";
inline constexpr const char* NotPrinting = "Printer is not currently printing";
inline constexpr const char* Printing = "Printing in progress";
inline constexpr const char* PrintFailed = "The document could not be printed: %s";
} // namespace msg

GCL_DECLARE_EXCEPTION(EPrinter, Exception);

class TPrinter : public TObject {
    GCL_CLASS(TPrinter, TObject)
public:
    TPrinter();
    ~TPrinter() override;

    // The job's name in the print queue.
    const std::string& GetTitle() const noexcept { return FTitle; }
    void SetTitle(const std::string& value) { FTitle = value; }
    // Starts a job on a fresh device context; raises EPrinter without a
    // printer or when the spooler refuses the job.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    // Cancels the job (AbortDoc) and lets go of the device context.
    void Abort();
    bool GetPrinting() const noexcept { return FPrinting; }
    bool GetAborted() const noexcept { return FAborted; }
    int GetPageNumber() const noexcept { return FPageNumber; }
    // The device context of the running job, or an information context of
    // the printer outside one; raises EPrinter without a printer.
    HDC GetHandle();
    TCanvas* GetCanvas();
    // Printable page size in device pixels.
    int GetPageWidth();
    int GetPageHeight();

protected:
    // The device steps, overridable for tests and other devices.
    // A device context for the printer (null: no printer).
    virtual HDC CreatePrinterDC();
    virtual bool StartJob(HDC dc, const std::string& title);
    virtual bool StartDevicePage(HDC dc);
    virtual bool EndDevicePage(HDC dc);
    virtual bool EndJob(HDC dc);
    virtual void AbortJob(HDC dc);
    virtual void DeleteDeviceDC(HDC dc);

private:
    void CheckPrinting(bool printing) const;
    void FreeDC() noexcept;
    [[noreturn]] void Fail();

    std::string FTitle;
    HDC FDC = nullptr;
    std::unique_ptr<TCanvas> FCanvas;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
};

// The process-wide printer, made on first use.
TPrinter* Printer();
// Replaces it and answers the one it replaced (which the caller then
// owns); null makes the next Printer() call make a fresh one.
TPrinter* SetPrinter(TPrinter* printer);

} // namespace gcl
