// The About box.
#include "app/AboutForm.h"

#include "app/logic/AppMessages.h"
#include "gcl/rtl/SysInfo.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TAboutF)

TAboutF::TAboutF(gcl::TComponent* AOwner) : TForm(AOwner, 0) {
    SetName("AboutF");
    SetCaption("About Qelvo");
    SetBorderStyle(gcl::bsDialog);
    SetPosition(gcl::poMainFormCenter);
    SetClientSize(300, 150);

    NameLabel = gcl::TLabel::Create(this);
    NameLabel->SetParent(this);
    NameLabel->SetBounds(20, 16, 260, 24);
    NameLabel->GetFont()->SetName("Arial");
    NameLabel->GetFont()->SetSize(14);
    NameLabel->GetFont()->SetStyle(gcl::TFontStyles{gcl::fsBold});
    NameLabel->SetCaption("Qelvo");

    VersionLabel = gcl::TLabel::Create(this);
    VersionLabel->SetParent(this);
    VersionLabel->SetBounds(20, 46, 260, 16);

    MailLabel = gcl::TLabel::Create(this);
    MailLabel->SetParent(this);
    MailLabel->SetBounds(20, 72, 260, 16);
    MailLabel->GetFont()->SetColor(gcl::clBlue);
    MailLabel->GetFont()->SetStyle(gcl::TFontStyles{gcl::fsUnderline});
    MailLabel->SetCursor(gcl::crHandPoint);
    MailLabel->SetCaption(std::string(msg::SupportMailUrl).substr(7));
    MailLabel->OnClick = gcl::TNotifyEvent(this, &TAboutF::MailLabelClick);

    OkButton = gcl::TButton::Create(this);
    OkButton->SetParent(this);
    OkButton->SetBounds(112, 108, 75, 25);
    OkButton->SetCaption("OK");
    OkButton->SetDefault(true);
    OkButton->SetCancel(true);
    OkButton->SetModalResult(gcl::mrOk);

    OnShow = gcl::TNotifyEvent(this, &TAboutF::FormShow);
}

void TAboutF::FormShow(gcl::TObject*) { VersionLabel->SetCaption(msg::AboutVersion); }

void TAboutF::MailLabelClick(gcl::TObject*) { gcl::Shell->Open(msg::SupportMailUrl); }

} // namespace qelvo
