// The value of a spin-edit item without its window: the typed-value
// parser (prefix, number, postfix, one operator), the formatter (integer,
// fixed point or hexadecimal, with prefix and postfix), clipping to the
// range and the stepper. Part of the TxExtItems unit; builds natively.
#pragma once

#include <cstdint>
#include <string>

#include "gcl/rtl/Sets.h"

namespace qelvo {

GCL_ENUM(TSEValueType, evtInteger, evtFloat, evtHex)
using TDecimal = uint8_t;

inline constexpr const char* SIncrementError = "Increment should be a positive value";
inline constexpr const char* SInvalidPrefix = "Invalid prefix";
inline constexpr const char* SInvalidPostfix = "Invalid postfix";

// Why a text changes (the edit item's text-change reasons used here).
inline constexpr int tcrProperty = 3;
inline constexpr int tcrStep = 4;

class TTxSpinValue {
public:
    TTxSpinValue() = default;
    virtual ~TTxSpinValue() = default;
    TTxSpinValue(const TTxSpinValue&) = delete;
    TTxSpinValue& operator=(const TTxSpinValue&) = delete;

    // ---- Settings (each setter re-applies the value to the text)
    TDecimal GetDecimal() const noexcept { return FDecimal; }
    void SetDecimal(TDecimal Value);
    // Equal limits mean no range.
    double GetMinValue() const noexcept { return FMinValue; }
    void SetMinValue(double Value) noexcept { FMinValue = Value; }
    double GetMaxValue() const noexcept { return FMaxValue; }
    void SetMaxValue(double Value) noexcept { FMaxValue = Value; }
    double GetIncrement() const noexcept { return FIncrement; }
    // EPropertyError "Increment should be a positive value" unless above 0.
    void SetIncrement(double Value);
    bool GetSpaceAfterPrefix() const noexcept { return FSpaceAfterPrefix; }
    void SetSpaceAfterPrefix(bool Value);
    bool GetSpaceBeforePostfix() const noexcept { return FSpaceBeforePostfix; }
    void SetSpaceBeforePostfix(bool Value);
    // EPropertyError "Invalid prefix" / "Invalid postfix" for blanks, control
    // characters, "*" to "9", "^", and in hexadecimal mode the letters A-F
    // of either case; the old text stays.
    const std::string& GetPrefix() const noexcept { return FPrefix; }
    void SetPrefix(const std::string& Value);
    const std::string& GetPostfix() const noexcept { return FPostfix; }
    void SetPostfix(const std::string& Value);
    bool GetSnap() const noexcept { return FSnap; }
    void SetSnap(bool Value) noexcept { FSnap = Value; }
    TSEValueType GetValueType() const noexcept { return FValueType; }
    // Keeps the value; integer and hexadecimal modes make Increment a whole
    // number, at least 1. Switching to hexadecimal with A-F in the prefix or
    // postfix raises EPropertyError and keeps the old type.
    void SetValueType(TSEValueType Value);

    // ---- The value
    const std::string& GetText() const noexcept { return FText; }
    double GetLastValue() const noexcept { return FLastValue; }
    void SetLastValue(double Value) noexcept { FLastValue = Value; }
    // The text read as a value, else LastValue.
    double GetValue();
    void SetValue(double V) { SetValueEx(V, tcrProperty); }
    // Shows V (clipped) as the text and reports a change of the clipped value.
    void SetValueEx(double V, int Reason);
    // The value to the nearest integer (halves to even), held to the int range.
    int GetIntValue();
    void StepUp() { Step(+1); }
    void StepDown() { Step(-1); }
    // An edited text: true when it reads as a value, and NewText becomes that
    // value's text; false refuses it.
    bool AcceptText(std::string& NewText);

    // ---- The rules
    double ClipValue(double V) const noexcept;
    std::string GetValueText(double V);
    // False for text that is no value, or whose value is not finite (or
    // beyond 64 bits in integer and hexadecimal modes).
    bool TextToValue(const std::string& AText, double& V);
    // The value one step up (+1) or down (-1) from V.
    double StepValue(double V, int Direction);

protected:
    // Hooks for the item's events. DoTextToValue answers true when it read
    // the text itself; DoConvert may change the value or refuse the units.
    virtual bool DoTextToValue(const std::string&, double&) { return false; }
    virtual bool DoConvert(const std::string&, const std::string&, double&) { return true; }
    virtual void DoValueToText(double, std::string&) {}
    virtual void DoStep(int, double, double&) {}
    virtual void DoValueChange(double) {}
    // Puts a new text in place (the edit item shows it); stores it here.
    virtual void ApplyText(const std::string& Text, int Reason);

private:
    void Step(int Direction);
    bool ReadOperand(const std::string& s, size_t& i, double& V);

    TDecimal FDecimal = 2;
    double FMinValue = 0;
    double FMaxValue = 0;
    double FIncrement = 1;
    bool FSpaceAfterPrefix = false;
    bool FSpaceBeforePostfix = false;
    std::string FPrefix;
    std::string FPostfix;
    bool FSnap = true;
    TSEValueType FValueType = evtInteger;
    std::string FText = "0";
    double FLastValue = 0;
};

} // namespace qelvo
