#include "OEWizardDlg.h"

#include "TvMessageEvent.h"
#include "TvPage.h"

#include <QString>

COEWizardDlg::COEWizardDlg(QWidget* parent) : CHtmlDialog(QSize(560, 400), parent)
{
    Placeholder()->setGeometry(0, 0, 560, 400);
    CreateView();
    ShowPage("oewiz1.html");
}

bool COEWizardDlg::event(QEvent* event)
{
    if (event->type() == CTvMessageEvent::EventType()) {
        const auto* message = static_cast<CTvMessageEvent*>(event);
        if (message->Message() == tvmsg::kHtmlCommand) {
            OnCommand(CTvPage::SplitCommand(message->Text())[1]);
            return true;
        }
    }
    return CHtmlDialog::event(event);
}

void COEWizardDlg::OnCommand(const std::string& command)
{
    const QString name = QString::fromStdString(command);
    const auto is = [&name](const char* text) {
        return name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0;
    };
    if (is("TV_IDEMPTY"))
        done(kUseIdentity);
    else if (is("TV_IDNOTEMPTY"))
        ShowPage("oewiz2.html");
    else if (is("TV_SYNC_GETIT"))
        done(kNewIdentity);
    else if (is("TV_CANCEL"))
        done(kCancel);
}
