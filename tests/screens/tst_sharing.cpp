#include <QUrlQuery>

#include "logic/base/logging.h"
#include "logic/base/userprompts.h"
#include "logic/base/util.h"
#include "logic/net/downloadservice.h"
#include "logic/net/oauthmanager.h"
#include "logic/net/oauthrequest.h"
#include "logic/sharing/tokenstore.h"
#include "screens/sharing/blipdialog.h"
#include "screens/sharing/blipsettings.h"
#include "screens/sharing/sharearticledialog.h"
#include "screens/sharing/twitterdialog.h"
#include "screens/sharing/twittersettings.h"
#include "screens/shell/screenprompts.h"
#include "tests/support/screenfixtures.h"

// Every line the program logs, with every category switched on.
static QStringList logged;
static void keepMessage(QtMsgType, const QMessageLogContext&, const QString& text)
{
    logged << text;
}
static void debugEverywhere(bool on)
{
    // The test environment switches debug output off; these categories come back on here.
    for (const QLoggingCategory& (*category)() : {lcHttp, lcChannels, lcBanners, lcGallery, lcOAuth, lcAnalytics,
                                                   lcReachability, lcFiles, lcViews})
        const_cast<QLoggingCategory&>(category()).setEnabled(QtDebugMsg, on);
}

// Prompts that record what the logic asks of the user.
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

// Sharing end to end against the local OAuth providers, which verify every signature; the token
// cipher; the hand-off to the composer through whatever prompts are installed (none: it refuses).
class TestSharing : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;
    QSharedPointer<OAuthService> twitter;
    QSharedPointer<OAuthService> blip;
    Browser browser;
    const QString link = QStringLiteral("http://www.kurendal.pl/artykul/41147?a=1&b=2");
    const QString wrongCode = QString::fromUtf8("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod.");

    QString pinFromBrowser(OAuthService& service)
    {
        const QString token = QUrlQuery(browser.opened.last()).queryItemValue("oauth_token", QUrl::FullyDecoded);
        return service.temporary.value(token).pin;
    }

    ShareArticleDialog* openDialog()
    {
        auto* dialog = new ShareArticleDialog(QString::fromUtf8("Złoty najmocniejszy"), link, nullptr);
        Screens::show(dialog);
        return dialog;
    }

    // Twitter or Blip picked in the dialog: its authorisation page goes to the browser, the code field shows.
    QLineEdit* askForCode(ShareArticleDialog* dialog, bool onTwitter)
    {
        QTest::mouseClick(onTwitter ? dialog->form()->twitterButton : dialog->form()->blipButton, Qt::LeftButton);
        QLineEdit* field = dialog->findChild<QLineEdit*>("verifierTextEdit");
        const bool asked = QTest::qWaitFor([&] { return !browser.opened.isEmpty() && field && field->isVisible(); }, 5000);
        return asked ? field : nullptr;
    }

    static void sendCode(ShareArticleDialog* dialog, bool onTwitter, const QString& code)
    {
        QTest::keyClicks(dialog->findChild<QLineEdit*>("verifierTextEdit"), code);
        QTest::mouseClick(dialog->findChild<QPushButton*>(onTwitter ? "buttonOK" : "okButton"), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        QVERIFY(server->setTlsFiles(KURENDAL_SAMPLE_TLS "/server.pem", KURENDAL_SAMPLE_TLS "/server.key"));
        twitter = twitterService();
        blip = blipService();
        installOAuthService(*server, twitter);
        installOAuthService(*server, blip);
        // This process trusts the sample service's own authority; nothing ignores TLS errors.
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(SampleServer::testAuthorityFile());
        QSslConfiguration::setDefaultConfiguration(tls);
        browser.catchSchemes(true);
    }

    void init()
    {
        browser.opened.clear();
        QSettings(organizationName, applicationName).clear();
    }

    void cleanup() { ScreenPrompts::installForProcess(); }

    void twitterPinFlowThenARevokedTokenLogsOut()
    {
        logged.clear();
        debugEverywhere(true);
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        QStringList secrets;
        Boxes boxes;
        QScopedPointer<ShareArticleDialog> dialog(openDialog());
        QSignalSpy closed(dialog.data(), &ShareArticleDialog::dialogClosed);
        QLineEdit* field = askForCode(dialog.data(), true);
        QVERIFY(field);
        QVERIFY(dialog->findChild<TwitterDialog*>()->isVisible() && !dialog->form()->mainFrame->isVisible());
        QCOMPARE(browser.opened.last().path(), QString("/oauth/authorize"));
        QVERIFY(dialog->findChild<QWidget*>("pageAddress")->isHidden()); // the browser has the page
        for (auto it = twitter->temporary.cbegin(); it != twitter->temporary.cend(); ++it)
            secrets << it.key() << it->secret << it->pin;
        sendCode(dialog.data(), true, QString());
        QVERIFY(field->isVisible()); // an empty PIN does nothing
        QCOMPARE(field->maxLength(), 7);
        sendCode(dialog.data(), true, pinFromBrowser(*twitter));

        QVERIFY(closed.wait(5000));
        QCOMPARE(closed.count(), 1);
        QCOMPARE(boxes.texts(), QStringList{QString::fromUtf8("Wysłano pomyślnie tweet.")});
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Information);
        QCOMPARE(twitter->statuses, QList<QByteArray>{QString::fromUtf8("Sprawdź ciekawy artykuł: %1").arg(link).toUtf8()});
        QVERIFY2(twitter->refusals.isEmpty(), twitter->refusals.value(0).constData());
        // The token is kept, encrypted.
        QSettings store(organizationName, applicationName);
        QVERIFY(!store.value("token").toByteArray().isEmpty());
        QVERIFY(!store.value("token").toByteArray().contains("access"));
        QVERIFY(TokenStore::isLoggedIn("token", "tokenSecret"));
        qInstallMessageHandler(previous);
        debugEverywhere(false);
        // Nothing that opens the account reaches the log.
        for (auto it = twitter->access.cbegin(); it != twitter->access.cend(); ++it)
            secrets << it.key() << it.value();
        QVERIFY(!logged.isEmpty());
        QVERIFY(secrets.size() >= 5);
        for (const QString& line : qAsConst(logged))
            for (const QString& secret : qAsConst(secrets))
                QVERIFY2(secret.isEmpty() || !line.contains(secret), qPrintable(line));
        QVERIFY(!SettingsTwitter().page().loggedinFrame->isHidden());

        // The service withdraws the token: the post fails, the token goes, the settings say so.
        for (auto it = twitter->postsLeft.begin(); it != twitter->postsLeft.end(); ++it)
            it.value() = 0;
        QScopedPointer<ShareArticleDialog> again(openDialog());
        QSignalSpy closedAgain(again.data(), &ShareArticleDialog::dialogClosed);
        QTest::mouseClick(again->form()->twitterButton, Qt::LeftButton);
        QVERIFY(closedAgain.wait(5000));
        QCOMPARE(browser.opened.size(), 1); // posted at once, no login
        QCOMPARE(boxes.last().text, QString::fromUtf8("Wysłanie tweeta nie powiodło się."));
        QVERIFY(!TokenStore::isLoggedIn("token", "tokenSecret"));
        SettingsTwitter page;
        QVERIFY(page.page().loggedinFrame->isHidden());
        QVERIFY(!page.page().loggedoutFrame->isHidden());
    }

    void blipPinFlowAndLogout()
    {
        Boxes boxes;
        QScopedPointer<ShareArticleDialog> dialog(openDialog());
        QSignalSpy closed(dialog.data(), &ShareArticleDialog::dialogClosed);
        QLineEdit* field = askForCode(dialog.data(), false);
        QVERIFY(field && dialog->findChild<BlipDialog*>());
        QCOMPARE(browser.opened.last().toString().left(33), QString("http://blip.pl/m/oauth/authorize?"));
        // Blip's codes are not cut to Twitter's seven digits.
        QTest::keyClicks(field, "1234567890");
        QCOMPARE(field->text(), QString("1234567890"));
        field->clear();
        sendCode(dialog.data(), false, pinFromBrowser(*blip));
        QVERIFY(closed.wait(5000));
        QCOMPARE(boxes.texts(), QStringList{QString::fromUtf8("Wysłano pomyślnie wiadomość.")});
        // The link alone, "=" and "&" as they are.
        QCOMPARE(blip->posts.last(), QByteArray("update%5Bbody%5D=http%3A%2F%2Fwww.kurendal.pl%2Fartykul%2F41147%3Fa=1&b=2"));
        QVERIFY(TokenStore::isLoggedIn("bliptoken", "bliptokenSecret"));

        BlipSettingsWidget page;
        QVERIFY(!page.page().loggedinFrame->isHidden());
        QSignalSpy resized(&page, &BlipSettingsWidget::contentSizeChanged);
        QTest::mouseClick(page.page().logout, Qt::LeftButton);
        QCOMPARE(resized.count(), 1);
        QVERIFY(page.page().loggedinFrame->isHidden());
        QVERIFY(!TokenStore::isLoggedIn("bliptoken", "bliptokenSecret"));
    }

    void aWrongCodeIsReportedAndNothingIsPosted_data()
    {
        QTest::addColumn<bool>("onTwitter");
        QTest::newRow("twitter") << true;
        QTest::newRow("blip") << false;
    }
    void aWrongCodeIsReportedAndNothingIsPosted()
    {
        QFETCH(bool, onTwitter);
        Boxes boxes;
        QScopedPointer<ShareArticleDialog> dialog(openDialog());
        QSignalSpy closed(dialog.data(), &ShareArticleDialog::dialogClosed);
        QVERIFY(askForCode(dialog.data(), onTwitter));
        OAuthService& service = onTwitter ? *twitter : *blip;
        const int posted = service.posts.size();
        sendCode(dialog.data(), onTwitter, onTwitter ? "0000000" : "0000000000");
        QVERIFY(closed.wait(5000));
        QCOMPARE(boxes.texts(), QStringList{wrongCode});
        QCOMPARE(service.posts.size(), posted);
        QVERIFY(!TokenStore::isLoggedIn(onTwitter ? "token" : "bliptoken", onTwitter ? "tokenSecret" : "bliptokenSecret"));

        // The provider does check: a request signed with another secret is refused.
        KQOAuthManager manager;
        KQOAuthRequest request;
        request.initRequest(KQOAuthRequest::TemporaryCredentials, QUrl(onTwitter ? twitterRequestTokenUrl : blipRequestTokenUrl));
        request.setConsumerKey(onTwitter ? CONSUMER_KEY : BLIP_CONSUMER_KEY);
        request.setConsumerSecretKey("not the secret");
        QSignalSpy ready(&manager, &KQOAuthManager::requestReady);
        const int refusals = service.refusals.size();
        manager.executeRequest(&request);
        QVERIFY(ready.wait(5000));
        QCOMPARE(ready.first().first().toByteArray(), service.failureBody); // (tst_network: the error it reports)
        QVERIFY(service.refusals.size() == refusals + 1 && service.refusals.last().startsWith("signature does not match"));
    }

    // A service that never answers: after the download service's limit Twitter says the tweet
    // failed and closes its panel; Blip says so and leaves its panel to the user.
    void aServiceThatNeverAnswersIsReported()
    {
        SampleServer::Reply silent;
        silent.noReply = true;
        server->route("api.twitter.com", QUrl(twitterRequestTokenUrl).path(), silent);
        server->route("blip.pl", QUrl(blipRequestTokenUrl).path(), silent);
        DownloadService::instance()->setLimits(DownloadService::Kind::Sharing, {300, 600});
        Boxes boxes;
        QScopedPointer<ShareArticleDialog> dialog(openDialog());
        QSignalSpy closed(dialog.data(), &ShareArticleDialog::dialogClosed);
        QTest::mouseClick(dialog->form()->twitterButton, Qt::LeftButton);
        QVERIFY(closed.wait(3000));
        QCOMPARE(boxes.texts(), QStringList{QString::fromUtf8("Wysłanie tweeta nie powiodło się.")});
        QVERIFY(browser.opened.isEmpty());

        QScopedPointer<ShareArticleDialog> again(openDialog());
        QSignalSpy closedAgain(again.data(), &ShareArticleDialog::dialogClosed);
        QTest::mouseClick(again->form()->blipButton, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.shown.size(), 2, 3000);
        // The screens' prompts turn the client's failure into the page's box with the same text.
        QCOMPARE(boxes.last().text, QString::fromUtf8("Wysłanie wiadomości nie powiodło się."));
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Information);
        QCOMPARE(boxes.last().title, QString());
        TestEnv::spin(100);
        QCOMPARE(closedAgain.count(), 0);
        QVERIFY(again->findChild<BlipDialog*>()->isVisible());

        DownloadService::instance()->setLimits(DownloadService::Kind::Sharing, DownloadService::sharingLimits);
        installOAuthService(*server, twitter);
        installOAuthService(*server, blip);
    }

    void smsAndFacebookTakeTheLinkAsItIs()
    {
        QScopedPointer<ShareArticleDialog> dialog(openDialog());
        QSignalSpy closed(dialog.data(), &ShareArticleDialog::dialogClosed);
        QTest::mouseClick(dialog->form()->smsButton, Qt::LeftButton);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(browser.opened.last().scheme(), QString("sms"));
        QCOMPARE(QUrlQuery(browser.opened.last()).queryItemValue("body", QUrl::FullyDecoded), link);

        dialog->show();
        QTest::mouseClick(dialog->form()->facebookButton, Qt::LeftButton);
        QCOMPARE(browser.opened.last().toString(),
                 QString("http://www.facebook.com/dialog/feed?app_id=482915736021468&redirect_uri=http://www.kurendal.pl/"
                         "&link=") + link);

        QTest::mouseClick(dialog->form()->cancelButton, Qt::LeftButton);
        QCOMPARE(closed.count(), 3);
    }

    // No browser and no mail program: each channel says so and the panel stays for another one;
    // Twitter and Blip show their authorisation page's address to be opened elsewhere.
    void withoutABrowserEachChannelSaysSo_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("said");
        QTest::newRow("e-mail") << "emailButton" << "Brak skonfigurowanej skrzynki pocztowej na telefonie.";
        QTest::newRow("sms") << "smsButton" << "Wysyłanie SMS nie powiodło się.";
        QTest::newRow("facebook") << "facebookButton" << "Otwieranie Facebooka w przeglądarce nie powiodło się.";
        QTest::newRow("twitter") << "twitterButton" << "https://api.twitter.com/oauth/authorize?oauth_token=";
        QTest::newRow("blip") << "blipButton" << "http://blip.pl/m/oauth/authorize?oauth_token=";
    }
    void withoutABrowserEachChannelSaysSo()
    {
        QFETCH(QString, button);
        QFETCH(QString, said);
        browser.catchSchemes(false);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent"); // no xdg-open, no browser, no mail program
        Boxes boxes;
        QScopedPointer<ShareArticleDialog> dialog(openDialog());
        QSignalSpy closed(dialog.data(), &ShareArticleDialog::dialogClosed);
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        QPlainTextEdit* address = nullptr;
        if (said.startsWith("http"))
            QTRY_VERIFY_WITH_TIMEOUT((address = dialog->findChild<QPlainTextEdit*>("pageAddress")) && address->isVisible(), 5000);
        qputenv("PATH", path);
        browser.catchSchemes(true);
        if (!address) {
            QCOMPARE(boxes.texts(), QStringList{said});
            QCOMPARE(boxes.last().kind, MessageBox::Shown::Error);
            QCOMPARE(closed.count(), 0);
            QVERIFY(dialog->form()->mainFrame->isVisible());
            return;
        }
        // The whole address, as the browser would have had it; the code it gives logs in.
        QVERIFY2(address->toPlainText().startsWith(said), qPrintable(address->toPlainText()));
        QVERIFY(address->isReadOnly() && (address->textInteractionFlags() & Qt::TextSelectableByMouse));
        QTest::mouseClick(address->viewport(), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), address->toPlainText());
        const QString token = QUrlQuery(QUrl(address->toPlainText())).queryItemValue("oauth_token", QUrl::FullyDecoded);
        const bool onTwitter = button == "twitterButton";
        sendCode(dialog.data(), onTwitter, (onTwitter ? *twitter : *blip).temporary.value(token).pin);
        QVERIFY(closed.wait(5000));
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY(boxes.last().text.startsWith(QString::fromUtf8("Wysłano pomyślnie")));
    }

    // (tst_upgrade reads and writes the stored tokens of an earlier version with it.)
    void cipherRoundTripAndDamage()
    {
        QVERIFY(Util::initCipher());
        // A 15-character text plus its NUL fills one block exactly; padding adds a second.
        QCOMPARE(Util::encrypt(QString(15, 'a')).size(), 32);
        QCOMPARE(Util::decrypt(Util::encrypt(QString(15, 'a'))), QString(15, 'a'));
        QVERIFY(Util::encrypt(QString()).isEmpty());
        QVERIFY(Util::decrypt(QByteArray()).isEmpty());
        // Damaged input never crashes and never gives back the token.
        QByteArray damaged = Util::encrypt("sekret-token");
        damaged[damaged.size() - 1] = damaged.at(damaged.size() - 1) ^ 0x55;
        QVERIFY(Util::decrypt(damaged) != QString("sekret-token"));
        QVERIFY(Util::decrypt(QByteArray("short")) != QString("short"));
    }

    void theComposerIsAskedThroughTheInstalledPromptsOnly()
    {
        QVERIFY(Util::sendEmail(QString(), QString::fromUtf8("Tytuł & więcej"), "Treść\nlinia 2"));
        QVERIFY(Util::sendSMS("+48600100200", QString::fromUtf8("Zobacz: ąę")));
        Util::openUrl("http://www.kurendal.pl/a?b=1", false);
        QCOMPARE(browser.opened.size(), 3);

        const QUrl mail = browser.opened.at(0);
        QCOMPARE(mail.scheme(), QString("mailto"));
        const QUrlQuery mailQuery(mail);
        QCOMPARE(mailQuery.queryItemValue("subject", QUrl::FullyDecoded), QString::fromUtf8("Tytuł & więcej"));
        QCOMPARE(mailQuery.queryItemValue("body", QUrl::FullyDecoded), QString::fromUtf8("Treść\nlinia 2"));
        const QUrl sms = browser.opened.at(1);
        QCOMPARE(sms.path(), QString("+48600100200"));
        QCOMPARE(QUrlQuery(sms).queryItemValue("body", QUrl::FullyDecoded), QString::fromUtf8("Zobacz: ąę"));
        QCOMPARE(browser.opened.at(2), QUrl("http://www.kurendal.pl/a?b=1"));

        // With no prompts installed nothing is shown and the composer refuses.
        UserPrompts::install(nullptr);
        Boxes boxes;
        UserPrompts::error("tekst", "Błąd");
        UserPrompts::quit();
        QVERIFY(!Util::isAnyEmailAccount());
        QVERIFY(!Util::sendEmail(QString(), "Temat", "Treść"));
        QVERIFY(!Util::sendSMS("600100200", "Treść"));
        QVERIFY(boxes.shown.isEmpty());

        // Installed, the prompts are asked for the composer.
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
        // Prompts destroyed are uninstalled.
        QVERIFY(!UserPrompts::installed());
        UserPrompts::information("po", QString()); // must not reach freed prompts
    }
};

QTEST_MAIN(TestSharing)
#include "tst_sharing.moc"
