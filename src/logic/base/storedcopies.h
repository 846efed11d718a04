#ifndef STOREDCOPIES_H
#define STOREDCOPIES_H

#include <QString>
#include <functional>

// A stored file is kept as three copies: ".new", the main file and ".old". How each was last
// found; Unknown ones are read when a save needs to know.
enum CopyState { CopyUnknown, CopyAbsent, CopyWhole, CopyDamaged, CopyUnreadable };
enum { NewCopy, MainCopy, OldCopy };

namespace StoredCopies {

const char* suffix(int copy);

// Saves by the three copies, each step leaving a complete file on disk: `write` fills ".new",
// which then takes the main file's place; a whole main file becomes ".old" first. A copy that
// could not be read is never written over: while the newest copies could not be read nothing
// is saved if `keepsUnreadable`, and otherwise they are set aside; damaged copies are set aside
// before they are replaced. `state` tells what a copy is (reading it when Unknown); `copies`
// records what each copy is afterwards. False when nothing was saved.
bool save(const QString& path, CopyState (&copies)[3], const std::function<CopyState(int)>& state,
          bool keepsUnreadable, const std::function<bool(const QString&)>& write);

} // namespace StoredCopies

#endif // STOREDCOPIES_H
