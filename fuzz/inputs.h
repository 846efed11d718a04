#ifndef FUZZINPUTS_H
#define FUZZINPUTS_H

#include <QByteArray>

// Each reader of outside input, fed one input. False when what it made of the input breaks
// a rule the rest of the program relies on; a crash is caught by the sanitizers.
// The fuzz targets and the regression test share these.
namespace FuzzInputs {

bool channelCache(const QByteArray& bytes);   // the "rss" + title file
bool settings(const QByteArray& bytes);       // the "settings" file
bool bannerCache(const QByteArray& bytes);    // the "banners" file
bool json(const QByteArray& bytes);           // an ad server's reply
bool articleParser(const QByteArray& bytes);  // a category feed
bool galleryParser(const QByteArray& bytes);  // the picture feed

} // namespace FuzzInputs

#endif // FUZZINPUTS_H
