#include "logic/base/storedcopies.h"

#include "logic/base/file.h"

#include <QFile>
#include <cstdio>

namespace StoredCopies {

const char* suffix(int copy)
{
    static const char* const suffixes[] = {".new", "", ".old"};
    return suffixes[copy];
}

static bool renameOver(const QString& from, const QString& to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool save(const QString& path, CopyState (&copies)[3], const std::function<CopyState(int)>& state,
          bool keepsUnreadable, const std::function<bool(const QString&)>& write)
{
    const QString copyPath[] = {path + QLatin1String(suffix(NewCopy)), path, path + QLatin1String(suffix(OldCopy))};
    for (int copy : {NewCopy, MainCopy}) {
        if (state(copy) != CopyUnreadable)
            continue;
        if (keepsUnreadable || !File::setAside(copyPath[copy]))
            return false;
        copies[copy] = CopyAbsent;
    }
    if (state(NewCopy) == CopyDamaged && File::setAside(copyPath[NewCopy]))
        copies[NewCopy] = CopyAbsent;
    if (!write(copyPath[NewCopy]))
        return false;
    copies[NewCopy] = CopyWhole;
    if (state(MainCopy) == CopyWhole) {
        // An unreadable backup stays where it is, and the main file goes without one.
        CopyState old = state(OldCopy);
        if ((old == CopyDamaged || (old == CopyUnreadable && !keepsUnreadable)) && File::setAside(copyPath[OldCopy]))
            old = CopyAbsent;
        if (old != CopyUnreadable) {
            File::clearWayFor(copyPath[OldCopy]);
            if (renameOver(path, copyPath[OldCopy])) {
                copies[OldCopy] = CopyWhole;
                copies[MainCopy] = CopyAbsent;
            }
        }
    } else if (state(MainCopy) == CopyDamaged && File::setAside(path)) {
        copies[MainCopy] = CopyAbsent;
    } else {
        File::clearWayFor(path);
    }
    // Where the rename fails the whole content waits in ".new", which is read first.
    if (renameOver(copyPath[NewCopy], path)) {
        copies[NewCopy] = CopyAbsent;
        copies[MainCopy] = CopyWhole;
    }
    return true;
}

} // namespace StoredCopies
