#!/usr/bin/env bash
# The layering check refuses each kind of screen header in a logic file and passes a clean one.
# Usage: checklayers_catches.sh <checklayers.sh> <QtWidgets include dir>
set -u
check=$1
widgets=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/Logic" "$root/TwitterSrc"
printf '#include <QObject>\n' > "$root/Logic/own.h"
printf '#include <QString>\n' > "$root/TwitterSrc/panel.h"
printf 'Logic/own.h\nLogic/sample.cpp\n' > "$root/list"

failed=0
expect() {
    local want=$1 include=$2
    printf '#include "Logic/own.h"\n#include <QByteArray>\n%s\n' "$include" > "$root/Logic/sample.cpp"
    bash "$check" "$root" "$root/list" "$widgets" 2>/dev/null
    local got=$?
    if { [ "$want" = pass ] && [ $got -ne 0 ]; } || { [ "$want" = fail ] && [ $got -eq 0 ]; }; then
        echo "expected the check to $want on: $include" >&2
        failed=1
    fi
}
expect pass '#include "own.h"'
expect fail '#include "Views/mainwidget.h"'
expect fail '#include "platform/messaging.h"'
expect fail '#include "msgboxslot.h"'
expect fail '#include <QWidget>'
expect fail '#include <QtWidgets/QLabel>'
expect fail '#include <qpushbutton.h>'
expect fail '#include "TwitterSrc/panel.h"'
expect fail '#include "../TwitterSrc/panel.h"'
exit $failed
