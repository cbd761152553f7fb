// The About box: the program's name and version, the maker's support
// address as a mail link, and an OK button.
#pragma once

#include "gcl/Forms.h"
#include "gcl/StdCtrls.h"

namespace qelvo {

class TAboutF : public gcl::TForm {
    GCL_CLASS(TAboutF, gcl::TForm)
public:
    gcl::TLabel* NameLabel = nullptr;
    gcl::TLabel* VersionLabel = nullptr;
    gcl::TLabel* MailLabel = nullptr;
    gcl::TButton* OkButton = nullptr;

    // Sets the version label when the box is shown.
    void FormShow(gcl::TObject* Sender);
    // Opens the default mail program for a message to the support address.
    void MailLabelClick(gcl::TObject* Sender);

protected:
    explicit TAboutF(gcl::TComponent* AOwner);
};

} // namespace qelvo
