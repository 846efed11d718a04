#include <QtTest>

#include "logic/sharing/blipclient.h"
#include "screens/shell/messagebox.h"
#include "screens/shell/screenprompts.h"
#include "logic/base/userprompts.h"
#include "logic/base/util.h"
#include "tests/support/boxes.h"
#include "tests/support/testenv.h"

// What the logic asks of the user reaches whatever the screens installed, texts unchanged;
// with nothing installed nothing is shown and the composer refuses.
class RecordingPrompts : public UserPrompts
{
public:
    QStringList seen;
    bool composerAnswer = true;

    void showError(const QString& text, const QString& title) override { seen << "error:" + title + ":" + text; }
    void showInformation(const QString& text, const QString& title) override { seen << "info:" + title + ":" + text; }
    void closeApplication() override { seen << "close"; }
    bool hasEmailAccount() override { seen << "account"; return composerAnswer; }
    bool composeEmail(const QString& subject, const QString& text) override
    {
        seen << "email:" + subject + ":" + text;
        return composerAnswer;
    }
    bool composeSms(const QString& phoneNumber, const QString& text) override
    {
        seen << "sms:" + phoneNumber + ":" + text;
        return composerAnswer;
    }
};

class TestUserPrompts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::prepare(); }
    void cleanup() { ScreenPrompts::installForProcess(); }

    void nothingInstalledShowsNothingAndRefuses()
    {
        UserPrompts::install(nullptr);
        Boxes boxes;
        UserPrompts::error("tekst", "Błąd");
        UserPrompts::quit();
        QVERIFY(!Util::isAnyEmailAccount());
        QVERIFY(!Util::sendEmail(QString(), "Temat", "Treść"));
        QVERIFY(!Util::sendSMS("600100200", "Treść"));
        QVERIFY(boxes.shown.isEmpty());
    }

    void theComposerIsAskedThroughTheInstalledPrompts()
    {
        RecordingPrompts prompts;
        UserPrompts::install(&prompts);
        QVERIFY(Util::isAnyEmailAccount());
        QVERIFY(Util::sendEmail("ignored@example.invalid", "Temat", "Treść"));
        QVERIFY(Util::sendSMS("600100200", "Treść"));
        prompts.composerAnswer = false;
        QVERIFY(!Util::sendSMS("600100200", "Inna"));
        QCOMPARE(prompts.seen, QStringList({"account", "email:Temat:Treść", "sms:600100200:Treść",
                                            "sms:600100200:Inna"}));
    }

    void promptsDestroyedAreUninstalled()
    {
        {
            RecordingPrompts prompts;
            UserPrompts::install(&prompts);
        }
        QVERIFY(!UserPrompts::installed());
        UserPrompts::information("po", QString()); // must not reach freed prompts
    }

    // The screens' prompts turn a client's failure into the page's box with the same text.
    void aClientFailureBecomesTheSameBox()
    {
        ScreenPrompts::installForProcess();
        Boxes boxes;
        BlipClient client;
        QVERIFY(QMetaObject::invokeMethod(&client, "onNetworkError"));
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Information);
        QCOMPARE(boxes.last().text, QString("Wysłanie wiadomości nie powiodło się."));
        QCOMPARE(boxes.last().title, QString());
    }
};

QTEST_MAIN(TestUserPrompts)
#include "tst_userprompts.moc"
