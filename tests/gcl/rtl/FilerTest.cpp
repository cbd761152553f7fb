#include "gcl/rtl/Filer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Init.h"
#include "gcl/rtl/TypInfo.h"
#include "support/FilerClasses.h"
#include "support/TestEnvironment.h"

using namespace gcl;

namespace {

class FilerTest : public ::testing::Test {
protected:
    TUnit FUnit{"FilerTest", &RegisterFilerClasses, &UnregisterFilerClasses};
    TUnitScope FScope{&FUnit};
};

const std::wstring WideText = L"W\u00FCrde \u263A \u4E2D";

// The tree the golden file holds, built in code as the product builds
// its forms.
TFlForm* BuildForm() {
    TFlForm* form = TFlForm::Create(nullptr);
    TFormLoadScope scope(form);
    form->SetName("MainForm");
    form->SetCaption("Main");
    form->SetWidth(640);
    form->SetCaptionW(WideText);

    auto* panel = TFlControl::Create(form);
    panel->SetName("Panel1");
    panel->SetParent(form);
    panel->SetAlign(flaClient);
    panel->SetAnchors({flakLeft, flakTop, flakRight, flakBottom});
    panel->SetColor(0x0000FF);  // has a name
    panel->GetFont()->SetName("Arial");
    panel->GetFont()->SetSize(10);
    panel->Lines = {"first", "second"};
    auto* item = static_cast<TFlItem*>(panel->GetItems()->Add());
    item->SetCaption("One");
    item->SetValue(1);
    item = static_cast<TFlItem*>(panel->GetItems()->Add());
    item->SetCaptionW(L"Zwei \u00E4");
    item->SetValue(-300);

    auto* button = TFlControl::Create(form);
    button->SetName("Button1");
    button->SetParent(panel);
    button->SetCaption(std::string(300, 'x'));  // a long string
    button->SetVisible(false);
    button->SetColor(0x123456);  // no name
    button->SetWidth(-70000);
    button->SetSize64(int64_t(1) << 40);
    button->SetRatio(1.5);
    button->SetAccel('O');
    button->SetHotkey(wchar_t(0x263A));
    button->Data = {0, 1, 2, char(255)};
    scope.AddReference(button, "Link", "Timer1");  // created below

    auto* timer = TFlTimer::Create(form);
    timer->SetName("Timer1");
    timer->SetInterval(250);
    timer->SetEnabled(false);
    form->SetLink(button);
    scope.Finish();
    return form;
}

std::vector<char> Bytes(TMemoryStream& stream) {
    auto* p = static_cast<const char*>(stream.GetMemory());
    return std::vector<char>(p, p + stream.GetSize());
}

std::vector<char> Write(TComponent* root) {
    TMemoryStream stream;
    WriteComponentToStream(stream, root);
    return Bytes(stream);
}

TComponent* Read(const std::vector<char>& bytes, TComponent* root = nullptr) {
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
    return ReadComponentFromStream(stream, root);
}

std::string GoldenPath() { return qelvo::test::TestDataDir() + "filer/form.bin"; }

} // namespace

TEST_F(FilerTest, GoldenFileRoundTrip) {
    LoadLog.clear();
    TFlForm* built = BuildForm();
    // Built in code: Loaded in creation order, once everything is linked.
    EXPECT_EQ(LoadLog, (std::vector<std::string>{"MainForm", "Panel1", "Button1", "Timer1"}));
    auto* builtButton = static_cast<TFlControl*>(built->FindComponent("Button1"));
    EXPECT_TRUE(builtButton->LoadingWhenLoaded);
    EXPECT_TRUE(builtButton->LinkSetWhenLoaded);
    EXPECT_FALSE(builtButton->GetComponentState().Contains(csLoading));

    std::vector<char> written = Write(built);
    if (std::getenv("QELVO_UPDATE_GOLDEN")) {
        TMemoryStream out;
        out.WriteBuffer(written.data(), static_cast<int32_t>(written.size()));
        out.SaveToFile(GoldenPath());
    }
    TMemoryStream golden;
    golden.LoadFromFile(GoldenPath());
    ASSERT_EQ(written, Bytes(golden)) << "the writer's output differs from " << GoldenPath();

    // Read into fresh instances created by class name.
    LoadLog.clear();
    TComponent* root = Read(written);
    ASSERT_EQ(root->ClassType(), TFlForm::StaticClass());
    EXPECT_EQ(LoadLog, (std::vector<std::string>{"MainForm", "Panel1", "Button1", "Timer1"}));
    auto* form = static_cast<TFlForm*>(root);
    EXPECT_EQ(form->GetName(), "MainForm");
    EXPECT_EQ(form->GetCaption(), "Main");
    EXPECT_EQ(form->GetWidth(), 640);
    EXPECT_EQ(form->GetCaptionW(), WideText);
    ASSERT_EQ(form->GetComponentCount(), 3);

    auto* panel = dynamic_cast<TFlControl*>(form->FindComponent("Panel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetParent(), form);
    EXPECT_EQ(panel->GetAlign(), flaClient);
    EXPECT_EQ(panel->GetAnchors(), (TFlAnchors{flakLeft, flakTop, flakRight, flakBottom}));
    EXPECT_EQ(panel->GetColor(), 0x0000FF);
    EXPECT_EQ(panel->GetFont()->GetName(), "Arial");
    EXPECT_EQ(panel->GetFont()->GetSize(), 10);
    EXPECT_EQ(panel->Lines, (std::vector<std::string>{"first", "second"}));
    ASSERT_EQ(panel->GetItems()->GetCount(), 2);
    auto* item0 = static_cast<TFlItem*>(panel->GetItems()->GetItems(0));
    auto* item1 = static_cast<TFlItem*>(panel->GetItems()->GetItems(1));
    EXPECT_EQ(item0->GetCaption(), "One");
    EXPECT_EQ(item0->GetValue(), 1);
    EXPECT_EQ(item1->GetCaptionW(), L"Zwei \u00E4");
    EXPECT_EQ(item1->GetValue(), -300);
    EXPECT_TRUE(panel->GetVisible());

    auto* button = dynamic_cast<TFlControl*>(form->FindComponent("Button1"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetParent(), panel);
    EXPECT_EQ(button->GetCaption(), std::string(300, 'x'));
    EXPECT_FALSE(button->GetVisible());
    EXPECT_EQ(button->GetColor(), 0x123456);
    EXPECT_EQ(button->GetWidth(), -70000);
    EXPECT_EQ(button->GetSize64(), int64_t(1) << 40);
    EXPECT_EQ(button->GetRatio(), 1.5);
    EXPECT_EQ(button->GetAccel(), 'O');
    EXPECT_EQ(button->GetHotkey(), wchar_t(0x263A));
    EXPECT_EQ(button->Data, (std::vector<char>{0, 1, 2, char(255)}));
    auto* timer = dynamic_cast<TFlTimer*>(form->FindComponent("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->GetInterval(), 250);
    EXPECT_FALSE(timer->GetEnabled());
    // The forward reference was fixed up before Loaded ran.
    EXPECT_EQ(button->GetLink(), timer);
    EXPECT_TRUE(button->LinkSetWhenLoaded);
    EXPECT_TRUE(button->LoadingWhenLoaded);
    EXPECT_EQ(form->GetLink(), button);
    for (int i = 0; i < form->GetComponentCount(); ++i)
        EXPECT_TRUE(form->GetComponents(i)->GetComponentState().Empty());

    // Written again: the same bytes.
    EXPECT_EQ(Write(form), written);

    // Read into an existing root: the values go into it.
    TFlForm* existing = TFlForm::Create(nullptr);
    EXPECT_EQ(Read(written, existing), existing);
    EXPECT_EQ(existing->GetName(), "MainForm");
    EXPECT_EQ(existing->GetComponentCount(), 3);
    EXPECT_EQ(Write(existing), written);

    // A descendant writes only what differs from its ancestor.
    TMemoryStream delta;
    TWriter writer(delta);
    existing->SetWidth(641);
    writer.WriteDescendent(existing, form);
    std::vector<char> d = Bytes(delta);
    std::string deltaText(d.begin(), d.end());
    EXPECT_NE(deltaText.find("Width"), std::string::npos);
    for (const char* same : {"xxxx", "Interval", "Anchors", "Arial"})
        EXPECT_EQ(deltaText.find(same), std::string::npos) << same;

    existing->Free();
    form->Free();
    built->Free();
}

TEST_F(FilerTest, PropertyNamesOfEveryLengthReadBack) {
    // Between properties the reader peeks for the end of the list; the byte
    // it sees is a name length, which need not be a known value kind.
    TFlTimer* timer = TFlTimer::Create(nullptr);
    timer->SetName("Timer1");
    timer->SetInterval(5);
    timer->SetIntervalBetweenTicks(77);
    std::vector<char> written = Write(timer);
    Free(timer);
    TComponent* root = Read(written);
    auto* back = dynamic_cast<TFlTimer*>(root);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetInterval(), 5);
    EXPECT_EQ(back->GetIntervalBetweenTicks(), 77);
    Free(root);
}

TEST_F(FilerTest, CorruptStreamsRaiseReadErrors) {
    TFlForm* built = BuildForm();
    std::vector<char> good = Write(built);
    built->Free();

    // Every truncation fails cleanly and leaves nothing behind.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<char> cut(good.begin(), good.begin() + n);
        EXPECT_THROW(Read(cut), EReadError) << "length " << n;
    }
    // Any single corrupted byte: a value or a read error, never a crash.
    for (size_t i = 0; i < good.size(); ++i) {
        std::vector<char> bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0xA5);
        try {
            Free(Read(bad));
        } catch (const EReadError&) {
        }
    }

    auto craft = [](auto body) {
        TMemoryStream stream;
        stream.WriteBuffer("GCF0", 4);
        TWriter writer(stream);
        writer.WriteStr("TFlTimer");
        writer.WriteStr("T");
        body(writer);
        return Bytes(stream);
    };
    auto message = [](const std::vector<char>& bytes) {
        try {
            Free(Read(bytes));
        } catch (const EReadError& e) {
            return e.GetMessage();
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(craft([](TWriter& w) {
                  w.WriteStr("Interval");
                  w.WriteValue(static_cast<TValueType>(42));
              })),
              "Invalid property value");
    EXPECT_EQ(message(craft([](TWriter& w) {
                  w.WriteStr("Interval");
                  w.WriteString("ten");
              })),
              "Invalid property value");
    EXPECT_EQ(message(craft([](TWriter& w) {
                  w.WriteStr("Colour");
                  w.WriteInteger(1);
              })),
              "Property T.Colour does not exist");
    EXPECT_EQ(message(craft([](TWriter& w) {
                  w.WriteListEnd();
                  w.WriteStr("TNoSuchClass");
                  w.WriteStr("X");
              })),
              "Class TNoSuchClass not found");
    EXPECT_EQ(message(craft([](TWriter& w) {  // a huge length
                  w.WriteStr("Name");
                  w.WriteValue(vaLString);
                  int32_t size = 0x7FFFFFF0;
                  w.GetStream().WriteBuffer(&size, 4);
              })),
              "Stream read error");
    std::vector<char> wrongSignature = good;
    wrongSignature[0] = 'X';
    EXPECT_EQ(message(wrongSignature), "Invalid stream format");
    EXPECT_EQ(message(craft([](TWriter& w) {  // children nested beyond reason
                  w.WriteListEnd();
                  for (int i = 0; i < 300; ++i) {
                      w.WriteStr("TFlTimer");
                      w.WriteStr("T" + std::to_string(i));
                      w.WriteListEnd();
                  }
              })),
              "Stream nested too deeply");
}
