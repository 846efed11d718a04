#!/usr/bin/env bash
# The layering check refuses each kind of upward include and passes clean ones.
# Usage: checklayers_catches.sh <checklayers.sh> <QtWidgets include dir>
set -u
check=$1
widgets=$2
src=$(mktemp -d)
trap 'rm -rf "$src"' EXIT
mkdir -p "$src/logic/news" "$src/logic/base" "$src/screens/sharing" "$src/platform"
printf '#include <QObject>\n' > "$src/logic/base/own.h"
printf '#include <QString>\n' > "$src/screens/sharing/panel.h"
printf '#include <QString>\n' > "$src/platform/host.h"

failed=0
expect() {
    local want=$1 file=$2 include=$3
    printf '#include "logic/base/own.h"\n#include <QByteArray>\n%s\n' "$include" > "$src/$file"
    bash "$check" "$src" "$widgets" 2>/dev/null
    local got=$?
    rm -f "$src/$file"
    if { [ "$want" = pass ] && [ $got -ne 0 ]; } || { [ "$want" = fail ] && [ $got -eq 0 ]; }; then
        echo "expected the check to $want on $file: $include" >&2
        failed=1
    fi
}
expect pass logic/news/sample.cpp '#include "../base/own.h"'
expect fail logic/news/sample.cpp '#include "screens/shell/mainwidget.h"'
expect fail logic/news/sample.cpp '#include "platform/messaging.h"'
expect fail logic/news/sample.cpp '#include "platform/host.h"'
expect fail logic/news/sample.cpp '#include <QWidget>'
expect fail logic/news/sample.cpp '#include <QtWidgets/QLabel>'
expect fail logic/news/sample.cpp '#include <qpushbutton.h>'
expect fail logic/news/sample.cpp '#include "screens/sharing/panel.h"'
expect fail logic/news/sample.cpp '#include "../../screens/sharing/panel.h"'
expect pass platform/sample.cpp '#include <QWidget>'
expect fail platform/sample.cpp '#include "screens/sharing/panel.h"'
expect pass screens/sharing/sample.cpp '#include "platform/host.h"'
exit $failed
