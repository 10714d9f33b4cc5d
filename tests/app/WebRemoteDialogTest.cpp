// The web remote's settings dialog over a remote that runs: it shows what runs and changes only
// what the operator changed.

#include "app/WebRemote.h"
#include "support/PrivateSettings.h"
#include "surfaces/FakeDesk.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <gtest/gtest.h>

using namespace orinsub;
using surfaces::web::RemoteSettings;

namespace {

class WebRemoteDialogTest : public ::testing::Test
{
protected:
    /// Opens the dialog; do runs on it, then OK is pressed.
    void OpenSettings(const std::function<void(QDialog &)> &edit)
    {
        QTimer::singleShot(0, &window, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            edit(*dialog);
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            if (dialog->isVisible())
                dialog->reject();
        });
        remote.OpenSettings();
    }

    orinsub::testing::PrivateSettings settings; // before the remote, which reads its store
    orinsub::testing::FakeDesk desk;
    surfaces::ControlLayer layer{desk};
    QWidget window;
    app::WebRemote remote{layer, &window};
};

// Started with --remote: the settings have it off. OK changes nothing of a remote that plays.
TEST_F(WebRemoteDialogTest, ShowsTheRemoteAsItRunsAndOkWithoutAChangeLeavesItServing)
{
    QString error;
    ASSERT_TRUE(remote.Start(QStringLiteral("127.0.0.1:0"), std::nullopt, error))
        << error.toStdString();
    const quint16 port = remote.Server().Port();
    bool shownOn = false;
    QString shownAt;
    OpenSettings([&](QDialog &dialog) {
        shownOn = dialog.findChildren<QCheckBox *>().value(0)->isChecked();
        shownAt = dialog.findChild<QLineEdit *>()->text();
    });
    EXPECT_TRUE(shownOn) << "Webリモートを使う, as it runs";
    EXPECT_EQ(shownAt, QStringLiteral("127.0.0.1:%1").arg(port));
    EXPECT_TRUE(remote.Server().IsListening());
    EXPECT_EQ(remote.Server().Port(), port);
    EXPECT_FALSE(QSettings().contains(QStringLiteral("Remote/Enabled"))) << "nothing saved";

    // One change: that one goes into the settings, the rest stays as stored.
    OpenSettings([](QDialog &dialog) { dialog.findChildren<QCheckBox *>().value(1)->click(); });
    EXPECT_TRUE(remote.Server().IsListening());
    const RemoteSettings saved = RemoteSettings::Load();
    EXPECT_TRUE(saved.pairingAlways);
    EXPECT_FALSE(saved.enabled) << "the command line's remote is not made the settings'";
    EXPECT_EQ(saved.endpoint, RemoteSettings{}.endpoint);
}

} // namespace
