#include <QtTest>
#include <QtWidgets>
#include <QDesktopServices>
#include <QNetworkProxy>
#include <QSettings>
#include <QSslConfiguration>
#include <QUrlQuery>

#include "screens/sharing/blipdialog.h"
#include "screens/sharing/blipform.h"
#include "screens/sharing/blipsettings.h"
#include "logic/net/oauthmanager.h"
#include "logic/net/oauthrequest.h"
#include "screens/sharing/twittersettings.h"
#include "logic/sharing/tokenstore.h"
#include "screens/sharing/twitterauthorizationview.h"
#include "screens/sharing/twitterdialog.h"
#include "screens/sharing/sharearticledialog.h"
#include "logic/news/article.h"
#include "logic/base/constants.h"
#include "logic/base/logging.h"
#include "logic/net/downloadservice.h"
#include "sampleserver/sampleserver.h"
#include "sampleserver/sampleservices.h"
#include "tests/support/boxes.h"
#include "tests/support/testenv.h"

// Catches what the program hands to the browser and to the composer.
class Browser : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

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

// Sharing end to end against the local OAuth providers, which verify every signature.
class TestSharing : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;
    QSharedPointer<OAuthService> twitter;
    QSharedPointer<OAuthService> blip;
    Browser browser;
    const QString link = QStringLiteral("http://www.kurendal.pl/artykul/41147?a=1&b=2");

    QString pinFromBrowser(OAuthService& service)
    {
        const QUrl page = browser.opened.last();
        const QString token = QUrlQuery(page).queryItemValue("oauth_token", QUrl::FullyDecoded);
        return service.temporary.value(token).pin;
    }

    ShareArticleDialog* openDialog()
    {
        ShareArticleDialog* dialog = new ShareArticleDialog(QString::fromUtf8("Złoty najmocniejszy"), link, nullptr);
        dialog->resize(480, 854);
        dialog->show();
        return dialog;
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
        for (const char* scheme : {"http", "https", "sms", "mailto"})
            QDesktopServices::setUrlHandler(scheme, &browser, "open");
    }

    void init()
    {
        browser.opened.clear();
        QSettings(organizationName, applicationName).clear();
    }

    void twitterPinFlowThenARevokedTokenLogsOut()
    {
        logged.clear();
        debugEverywhere(true);
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        QStringList secrets;
        Boxes boxes;
        QScopedPointer<ShareArticleDialog> dialog(openDialog());
        QSignalSpy closed(dialog.data(), &ShareArticleDialog::dialogClosed);
        QTest::mouseClick(dialog->form()->twitterButton, Qt::LeftButton);
        TwitterDialog* panel = dialog->findChild<TwitterDialog*>();
        QVERIFY(panel && panel->isVisible());
        QVERIFY(!dialog->form()->mainFrame->isVisible());

        QTRY_VERIFY_WITH_TIMEOUT(!browser.opened.isEmpty(), 5000);
        QCOMPARE(browser.opened.last().path(), QString("/oauth/authorize"));
        QLineEdit* field = panel->findChild<QLineEdit*>("verifierTextEdit");
        QTRY_VERIFY(field->isVisible());
        QVERIFY(panel->findChild<QWidget*>("pageAddress")->isHidden()); // the browser has the page
        for (auto it = twitter->temporary.cbegin(); it != twitter->temporary.cend(); ++it)
            secrets << it.key() << it->secret << it->pin;
        QTest::mouseClick(panel->findChild<QPushButton*>("buttonOK"), Qt::LeftButton);
        QVERIFY(field->isVisible()); // an empty PIN does nothing
        QCOMPARE(field->maxLength(), 7);
        QTest::keyClicks(field, pinFromBrowser(*twitter));
        QTest::mouseClick(panel->findChild<QPushButton*>("buttonOK"), Qt::LeftButton);

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
        SettingsTwitter loggedIn;
        QVERIFY(!loggedIn.page().loggedinFrame->isHidden());

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
        QTest::mouseClick(dialog->form()->blipButton, Qt::LeftButton);
        BlipDialog* panel = dialog->findChild<BlipDialog*>();
        QVERIFY(panel);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.opened.isEmpty(), 5000);
        QCOMPARE(browser.opened.last().toString().left(33), QString("http://blip.pl/m/oauth/authorize?"));
        QLineEdit* field = panel->findChild<QLineEdit*>("verifierTextEdit");
        QTRY_VERIFY(field->isVisible());
        // Blip's codes are not cut to Twitter's seven digits.
        QTest::keyClicks(field, "1234567890");
        QCOMPARE(field->text(), QString("1234567890"));
        field->clear();
        QTest::keyClicks(field, pinFromBrowser(*blip));
        QTest::mouseClick(panel->findChild<QPushButton*>("okButton"), Qt::LeftButton);
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

    void aWrongCodeIsReportedAndNothingIsPosted()
    {
        Boxes boxes;
        QScopedPointer<ShareArticleDialog> dialog(openDialog());
        QSignalSpy closed(dialog.data(), &ShareArticleDialog::dialogClosed);
        QTest::mouseClick(dialog->form()->twitterButton, Qt::LeftButton);
        TwitterDialog* panel = dialog->findChild<TwitterDialog*>();
        QTRY_VERIFY_WITH_TIMEOUT(!browser.opened.isEmpty(), 5000);
        QLineEdit* field = panel->findChild<QLineEdit*>("verifierTextEdit");
        QTRY_VERIFY(field->isVisible());
        const int posted = twitter->statuses.size();
        QTest::keyClicks(field, "0000000");
        QTest::mouseClick(panel->findChild<QPushButton*>("buttonOK"), Qt::LeftButton);
        QVERIFY(closed.wait(5000));
        QCOMPARE(boxes.texts(),
                 QStringList{QString::fromUtf8("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod.")});
        QCOMPARE(twitter->statuses.size(), posted);
        QVERIFY(!TokenStore::isLoggedIn("token", "tokenSecret"));

        // Blip says the same.
        browser.opened.clear();
        QScopedPointer<ShareArticleDialog> again(openDialog());
        QSignalSpy closedAgain(again.data(), &ShareArticleDialog::dialogClosed);
        QTest::mouseClick(again->form()->blipButton, Qt::LeftButton);
        BlipDialog* blipPanel = again->findChild<BlipDialog*>();
        QTRY_VERIFY_WITH_TIMEOUT(!browser.opened.isEmpty(), 5000);
        QLineEdit* blipField = blipPanel->findChild<QLineEdit*>("verifierTextEdit");
        QTRY_VERIFY(blipField->isVisible());
        const int blipped = blip->posts.size();
        QTest::keyClicks(blipField, "0000000000");
        QTest::mouseClick(blipPanel->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        QVERIFY(closedAgain.wait(5000));
        QCOMPARE(boxes.last().text,
                 QString::fromUtf8("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod."));
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(blip->posts.size(), blipped);
        QVERIFY(!TokenStore::isLoggedIn("bliptoken", "bliptokenSecret"));
    }

    void aWronglySignedRequestIsRefused()
    {
        KQOAuthManager manager;
        KQOAuthRequest request;
        request.initRequest(KQOAuthRequest::TemporaryCredentials, QUrl(blipRequestTokenUrl));
        request.setConsumerKey(BLIP_CONSUMER_KEY);
        request.setConsumerSecretKey("not the secret");
        QSignalSpy ready(&manager, &KQOAuthManager::requestReady);
        QSignalSpy tokens(&manager, &KQOAuthManager::temporaryTokenReceived);
        const int refusals = blip->refusals.size();
        manager.executeRequest(&request);
        QVERIFY(ready.wait(5000));
        QVERIFY(ready.first().first().toByteArray().contains("ERROR"));
        QCOMPARE(tokens.count(), 0);
        QCOMPARE(manager.lastError(), RequestUnauthorized);
        QVERIFY(blip->refusals.size() == refusals + 1 && blip->refusals.last().startsWith("signature does not match"));
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
        QCOMPARE(boxes.last().text, QString::fromUtf8("Wysłanie wiadomości nie powiodło się."));
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
        QCOMPARE(dialog->composeEmailBody(Article()), QString("<html><body><a href=\"\"></a></body></html>"));

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
        for (const char* scheme : {"http", "https", "sms", "mailto"})
            QDesktopServices::unsetUrlHandler(scheme);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent"); // no xdg-open, no browser, no mail program
        Boxes boxes;
        QScopedPointer<ShareArticleDialog> dialog(openDialog());
        QSignalSpy closed(dialog.data(), &ShareArticleDialog::dialogClosed);
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        QPlainTextEdit* address = nullptr;
        if (said.startsWith("http")) {
            QTRY_VERIFY_WITH_TIMEOUT((address = dialog->findChild<QPlainTextEdit*>("pageAddress")) && address->isVisible(), 5000);
        }
        qputenv("PATH", path);
        for (const char* scheme : {"http", "https", "sms", "mailto"})
            QDesktopServices::setUrlHandler(scheme, &browser, "open");
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
        OAuthService& service = button == "twitterButton" ? *twitter : *blip;
        QTest::keyClicks(dialog->findChild<QLineEdit*>("verifierTextEdit"), service.temporary.value(token).pin);
        QTest::mouseClick(dialog->findChild<QPushButton*>(button == "twitterButton" ? "buttonOK" : "okButton"),
                          Qt::LeftButton);
        QVERIFY(closed.wait(5000));
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY(boxes.last().text.startsWith(QString::fromUtf8("Wysłano pomyślnie")));
    }
};

QTEST_MAIN(TestSharing)
#include "tst_sharing.moc"
