#ifndef NEWSDATA_H
#define NEWSDATA_H

#include <QByteArray>
#include <QString>

// Content of the size the publisher sends: feeds, ad replies and a private data folder.
namespace NewsData {

// An "iphonefeed" of count articles numbered from firstXx, each with two photos.
QByteArray feed(int count, int firstXx = 1000);
// A long feed of lean articles (about 140 bytes each: title and thumbnail, no photos), numbered from firstXx.
QByteArray longFeed(int count, int firstXx = 1000);
// A banner reply of about bytes bytes: the banner object with a long list of campaigns.
QByteArray adReply(int bytes);
// Points the data folder into a fresh temporary directory and loads the program's resources.
void useTemporaryData();
QString dataDir();

} // namespace NewsData

#endif // NEWSDATA_H
