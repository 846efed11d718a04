#ifndef UPGRADEFIXTURE_H
#define UPGRADEFIXTURE_H

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QSettings>
#include <QSize>
#include <QString>
#include <memory>

#include "logic/analytics/flurryagent.h"
#include "logic/news/articleparser.h"
#include "logic/news/channel.h"
#include "logic/sharing/tokenstore.h"
#include "logic/base/constants.h"

// The stored data of tests/fixtures/, as tst_upgrade expects it.
namespace UpgradeFixture {

// 2026-12-01 06:00 UTC: the channels' last update, a minute apart.
constexpr qint64 updatedAt = 1796104800;

struct Tokens {
    const char* tokenKey;
    const char* secretKey;
    const char* token;
    const char* secret;
};
// The keys are the Twitter and Blip clients' own.
const Tokens logins[] = {{"token", "tokenSecret", "1187654321-tW9xKq2LmPz7RbVc4NsYh", "Jd8Fq2Lm9ZxWv3Rk7TbYc5NpHs1Ga6Ue"},
                         {"bliptoken", "bliptokenSecret", "Bz7Qw1Kx4MvLp9", "Rt5Yh2Nc8Jq3Wd6Ls0Fg"}};

// Settings: every value away from its default.
constexpr int rushMode = 1;
constexpr int outOfRushMode = 3;
constexpr int rushStart = 7;
constexpr int rushEnd = 19;
const int inactiveCategories[] = {RSSChannel::Sport, RSSChannel::Komentarze};

// Analytics: the first run, two closed sessions and one a killed run left open.
constexpr qlonglong firstRun = 1795939200000; // 2026-11-29 06:00 UTC, in ms
const char* const deviceId = "BT001A7DDA7113";
struct Session {
    qlonglong dateStarted;
    qlonglong length; // as stored; -1 is still open
};
const Session sessions[] = {{firstRun + 3600000, 120000},
                            {firstRun + 3600000 + 720000, 175000},
                            {firstRun + 86400000, -1}};

// The briefcase: these Kraj articles, newest first, each picture one colour.
const int briefcaseIds[] = {41042, 41049};
inline QColor pictureColour(int articleIndex, int photoIndex)
{
    return QColor::fromHsv((articleIndex * 97 + photoIndex * 41) % 360, 200, 180);
}
const QSize thumbnailSize(120, 90);
const QSize photoSize(160, 120);

// The gallery: the first two items of the sample feed, with small pictures.
constexpr int galleryPictures = 2;
const QSize gallerySize(96, 64);

// The analytics agent on a clock of its own.
class ClockedAgent : public FlurryAgent
{
public:
    qlonglong t = 0;
    qlonglong now() const override { return t; }
};

// Writes the tokens and the analytics state into the settings store, as the program does.
// The agent of the last run is returned still open; its session is closed when it is destroyed.
inline std::unique_ptr<ClockedAgent> writeSettingsStore()
{
    {
        // What an earlier start left: the first run's date and the device's identifier.
        QSettings store(organizationName, applicationName);
        store.setValue(flurryInitDateKey, firstRun);
        store.setValue(flurryDevIDKey, QString::fromLatin1(deviceId));
    }
    {
        ClockedAgent run;
        run.t = sessions[0].dateStarted;
        run.onStartupApp();
        run.t += sessions[0].length;
        run.onPauseApp();
        run.t = sessions[1].dateStarted; // back after the pause limit: a new session
        run.onStartupApp();
        run.t += 45000;
        run.onPauseApp();
        run.t += 100000; // back within it: the same session goes on
        run.onStartupApp();
        run.t = sessions[1].dateStarted + sessions[1].length;
        run.onDestroyApp(); // here, on this clock: the destructor would take the real one
    }
    for (const Tokens& login : logins)
        TokenStore::save(login.tokenKey, login.secretKey, login.token, login.secret);
    std::unique_ptr<ClockedAgent> open(new ClockedAgent);
    open->t = sessions[2].dateStarted;
    open->onStartupApp();
    return open;
}

} // namespace UpgradeFixture

#endif // UPGRADEFIXTURE_H
