// The printer object over the default printer's device context.
#include "gcl/Printers.h"

#include <vector>

#include "gcl/rtl/Strings.h"

namespace gcl {

GCL_IMPLEMENT_CLASS(TPrinter)

TPrinter::TPrinter() = default;

TPrinter::~TPrinter() {
    if (FPrinting) {
        AbortJob(FDC);
        FPrinting = false;
    }
    FreeDC();
}

HDC TPrinter::CreatePrinterDC() {
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return nullptr;
    std::vector<char> name(size + 1);
    if (!GetDefaultPrinterA(name.data(), &size)) return nullptr;
    return CreateDCA(nullptr, name.data(), nullptr, nullptr);
}

bool TPrinter::StartJob(HDC dc, const std::string& title) {
    DOCINFOA info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = title.c_str();
    return StartDocA(dc, &info) > 0;
}

bool TPrinter::StartDevicePage(HDC dc) { return StartPage(dc) > 0; }
bool TPrinter::EndDevicePage(HDC dc) { return EndPage(dc) > 0; }
bool TPrinter::EndJob(HDC dc) { return ::EndDoc(dc) > 0; }
void TPrinter::AbortJob(HDC dc) { AbortDoc(dc); }
void TPrinter::DeleteDeviceDC(HDC dc) { DeleteDC(dc); }

void TPrinter::CheckPrinting(bool printing) const {
    if (FPrinting != printing) throw EPrinter(printing ? msg::NotPrinting : msg::Printing);
}

void TPrinter::FreeDC() noexcept {
    if (FCanvas) FCanvas->SetHandle(nullptr);
    if (FDC) DeleteDeviceDC(FDC);
    FDC = nullptr;
}

void TPrinter::Fail() {
    DWORD error = GetLastError();
    std::string reason = error ? SysErrorMessage(error) : std::string();
    if (reason.empty()) reason = "the printer refused the job";
    AbortJob(FDC);
    FPrinting = false;
    FreeDC();
    throw EPrinter(Format(msg::PrintFailed, {reason}));
}

HDC TPrinter::GetHandle() {
    if (!FDC) {
        FDC = CreatePrinterDC();
        if (!FDC) throw EPrinter(msg::NoDefaultPrinter);
    }
    return FDC;
}

TCanvas* TPrinter::GetCanvas() {
    if (!FCanvas) FCanvas = std::make_unique<TCanvas>();
    if (FCanvas->GetHandle() != GetHandle()) FCanvas->SetHandle(GetHandle());
    return FCanvas.get();
}

int TPrinter::GetPageWidth() { return GetDeviceCaps(GetHandle(), HORZRES); }
int TPrinter::GetPageHeight() { return GetDeviceCaps(GetHandle(), VERTRES); }

void TPrinter::BeginDoc() {
    CheckPrinting(false);
    // A fresh device context per job: the settings of the last one go.
    FreeDC();
    HDC dc = GetHandle();
    FAborted = false;
    FPageNumber = 1;
    FPrinting = true;
    if (!StartJob(dc, FTitle) || !StartDevicePage(dc)) Fail();
}

void TPrinter::NewPage() {
    CheckPrinting(true);
    if (!EndDevicePage(FDC) || !StartDevicePage(FDC)) Fail();
    ++FPageNumber;
}

void TPrinter::EndDoc() {
    CheckPrinting(true);
    bool ok = EndDevicePage(FDC) && EndJob(FDC);
    if (!ok) Fail();
    FPrinting = false;
    FAborted = false;
    FPageNumber = 0;
    FreeDC();
}

void TPrinter::Abort() {
    CheckPrinting(true);
    AbortJob(FDC);
    FAborted = true;
    FPrinting = false;
    FreeDC();
}

namespace {
std::unique_ptr<TPrinter> GPrinter;
} // namespace

TPrinter* Printer() {
    if (!GPrinter) GPrinter = std::make_unique<TPrinter>();
    return GPrinter.get();
}

TPrinter* SetPrinter(TPrinter* printer) {
    TPrinter* previous = GPrinter.release();
    GPrinter.reset(printer);
    return previous;
}

} // namespace gcl
