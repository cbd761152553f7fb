// The themed spin edit: an integer edit with an embedded themed spin
// button, a range and an increment.
#pragma once

#include "gcl/rtl/WinApi.h"

#include "theming/TxcEdit.h"
#include "theming/TxcSpinButton.h"

namespace qelvo {

class TTxcCustomSpinEdit : public TTxcEdit {
    GCL_CLASS(TTxcCustomSpinEdit, TTxcEdit)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;
    void GetChildren(gcl::TGetChildProc, gcl::TComponent*) override {}

    // The text read as an integer; MinValue when it is none.
    int GetValue();
    // Shows value, held to [MinValue, MaxValue] unless the two are equal.
    void SetValue(int value);
    int GetMinValue() const noexcept { return FMinValue; }
    void SetMinValue(int value) noexcept { FMinValue = value; }
    int GetMaxValue() const noexcept { return FMaxValue; }
    void SetMaxValue(int value) noexcept { FMaxValue = value; }
    int GetIncrement() const noexcept { return FIncrement; }
    void SetIncrement(int value) noexcept { FIncrement = value; }
    bool GetEditorEnabled() const noexcept { return FEditorEnabled; }
    void SetEditorEnabled(bool value) noexcept { FEditorEnabled = value; }
    int GetDefaultValue() const noexcept { return FDefaultValue; }
    // Stores the value under the Value rule; outside loading it also
    // becomes the Value.
    void SetDefaultValue(int value);
    TTxcSpinButton* GetButton() const noexcept { return FButton; }
    // The smallest height that shows the font.
    int GetMinHeight();

    virtual bool IsValidChar(char key);
    virtual void UpClick(gcl::TObject* sender);
    virtual void DownClick(gcl::TObject* sender);

protected:
    explicit TTxcCustomSpinEdit(gcl::TComponent* owner);

    void CreateParams(gcl::TCreateParams& params) override;
    void CreateWnd() override;
    void KeyDown(uint16_t& key, gcl::TShiftState shift) override;
    void KeyPress(char& key) override;

private:
    int ClampValue(int value) const noexcept;
    void SetEditRect();

    int FMinValue = 0;
    int FMaxValue = 0;
    int FIncrement = 1;
    bool FEditorEnabled = true;
    int FDefaultValue = 0;
    TTxcSpinButton* FButton = nullptr;
};

class TTxcSpinEdit : public TTxcCustomSpinEdit {
    GCL_CLASS(TTxcSpinEdit, TTxcCustomSpinEdit)
protected:
    explicit TTxcSpinEdit(gcl::TComponent* owner) : TTxcCustomSpinEdit(owner) {}
};

} // namespace qelvo
