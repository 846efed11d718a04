#!/bin/bash
# Runs the test suite against a fixed sample of small faults put into the logic library, one at a
# time, and tells which of them the tests catch. A fault is an exact one-line replacement: if its
# text no longer matches exactly once, the script stops, so that the list stays valid as the code
# moves on.
#
#   scripts/mutate.sh [BUILD_DIR]          (default: build-mutate in the tree)
#   MUTANTS="3 7" scripts/mutate.sh        runs only those mutants (numbered from 1)
#   SCREENS=0 scripts/mutate.sh            runs the logic tests alone
#
# Each mutant is built in BUILD_DIR (configured with ccache); the logic tests run first, those
# nearest the mutated file before the others, and the first failure ends the run; the screen
# tests run only when all logic tests pass. TEST_TIMEOUT (s) bounds each test. Only the tests
# are built, each when it is first needed. The file is put back
# after each mutant, also on Ctrl-C or an error.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-mutate}
TEST_TIMEOUT=${TEST_TIMEOUT:-120}
# Paths under the tree are hashed relative to it, so that other checkouts share the compiler cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$ROOT}

# file | exact text (one line, found once) | replacement
MUTANTS_LIST=$(cat <<'LIST'
news/feedxml.cpp|if (c == 0xFFFE \|\| c == 0xFFFF)|if (c == 0xFFFE)
news/feedxml.cpp|if (c >= 0xC2 && c <= 0xDF) {|if (c >= 0xC0 && c <= 0xDF) {
news/feedxml.cpp|high = c == 0xED ? 0x9F : 0xBF; // no surrogates|high = 0xBF;
news/feedxml.cpp|high = c == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF|high = 0xBF;
news/feedxml.cpp|if (next < 0xDC00 \|\| next > 0xDFFF) {|if (next < 0xDC00) {
news/articleparser.cpp|case TITLE: currentArticle->title = replaceEntities(text); break;|case TITLE: currentArticle->title = text; break;
news/articleparser.cpp|s.replace(QLatin1String("&lt;"), QLatin1String("<"));|
news/articleparser.cpp|case PHOTO_URL2: currentPhoto->url2 = QUrl(text); break;|case PHOTO_URL2: break;
news/articleparser.cpp|return reader && reader->succeeded() && sawRoot;|return reader && reader->succeeded();
news/channel.cpp|return !articleLessThan(b.fresh, a) && positionOfA < b.position;|return !articleLessThan(b.fresh, a) && positionOfA > b.position;
news/channel.cpp|return a.first < b.first;|return a.first > b.first;
news/channel.cpp|if (count > maxArticles)|if (count > maxArticles + 1)
news/channel.cpp|if (f->readByte() != cacheVersion)|if (f->readByte() == 0x7f)
news/channel.cpp|entries.push_back({existing >= 0 ? existing : currentCount + added++, nullptr, 0});|entries.push_back({existing > 0 ? existing : currentCount + added++, nullptr, 0});
news/channel.cpp|articles.resize(maxArticles);|articles.resize(maxArticles + 1);
base/file.cpp|if (bytes.size() <= maxStringBytes)|if (bytes.size() < maxStringBytes)
base/file.cpp|while (n > 0 && (static_cast<unsigned char>(bytes.at(n)) & 0xC0) == 0x80)|while (false)
base/file.cpp|else if (st.st_size > maxBytes)|else if (st.st_size >= maxBytes)
base/file.cpp|return errno == ENOENT \|\| errno == ENOTDIR ? Missing : ReadFailed;|return ReadFailed;
base/file.cpp|if ((readOnly ? readResult != Read : !file) \|\| len < 0 \|\| contents.size() - readPos < len)|if ((readOnly ? readResult != Read : !file) \|\| len < 0 \|\| contents.size() - readPos < len - 1)
news/article.cpp|if (count < 0 \|\| count > file->bytesLeft() / Photo::minRecordBytes)|if (count < 0)
news/briefcasestore.cpp|return remove(articles.size() - 1);|return remove(0);
news/briefcasestore.cpp|if (*a == article)|if (*a != article)
news/settings.cpp|static bool validHour(int hour) { return hour >= 0 && hour <= 23; }|static bool validHour(int hour) { return hour >= 0 && hour <= 24; }
news/settings.cpp|static bool validMode(int mode) { return mode >= 0 && mode <= 4; }|static bool validMode(int mode) { return mode >= 0 && mode <= 5; }
news/settings.cpp|textScalePercent = scale >= minTextScale && scale <= maxTextScale ? scale : defaultTextScale;|textScalePercent = scale >= minTextScale && scale < maxTextScale ? scale : defaultTextScale;
news/settings.cpp|&& (bytes.size() != settingsFileBytes \|\| bytes.at(settingsBaseBytes) != preferencesVersion))|&& (bytes.size() != settingsFileBytes))
net/downloadservice.cpp|if (host.sending >= connectionsPerHost) {|if (host.sending > connectionsPerHost) {
net/downloadservice.cpp|\|\| in(0xa9fe0000, 16) // link-local|// link-local
net/downloadservice.cpp|if (zeroHead && (word(5) == 0xffff \|\| word(5) == 0))|if (zeroHead && word(5) == 0xffff)
net/downloadservice.cpp|return isLocalHost(from.host()) \|\| !isLocalHost(to.host());|return !isLocalHost(to.host());
net/request.cpp|if (announced > maxResponseBytes \|\| buffer.size() + reply->bytesAvailable() > maxResponseBytes) {|if (announced > maxResponseBytes) {
net/request.cpp|} else if (++redirects > maxRedirects \|\| !DownloadService::redirectAllowed(origin, target)) {|} else if (++redirects > maxRedirects + 1 \|\| !DownloadService::redirectAllowed(origin, target)) {
net/request.cpp|timeout = _timeout < 0 ? DownloadService::longTimeout : _timeout;|timeout = _timeout <= 0 ? DownloadService::longTimeout : _timeout;
base/picturereader.cpp|return size.isValid() && !size.isEmpty() && size.width() <= maxSide && size.height() <= maxSide|return size.isValid() && !size.isEmpty() && size.width() <= maxSide && size.height() <= maxSide + 1
base/picturereader.cpp|&& qint64(size.width()) * size.height() <= maxPixels;|&& qint64(size.width()) * size.height() < maxPixels;
base/picturereader.cpp|return QSize(qMax(screenWidth, right), qMax(screenHeight, bottom));|return QSize(screenWidth, screenHeight);
base/picturereader.cpp|if (format == "gif") {|if (format == "GIF") {
news/refreshscheduler.cpp|return onBattery && batteryPercent >= 0 && batteryPercent < lowBatteryPercent;|return onBattery && batteryPercent >= 0 && batteryPercent <= lowBatteryPercent;
news/refreshscheduler.cpp|if (mode == 0 \|\| mode == 4 \|\| interval < 1)|if (mode == 0 \|\| interval < 1)
news/refreshscheduler.cpp|return powerSaving() ? qMax(interval, powerSaverInterval) : interval;|return interval;
news/refreshscheduler.cpp|updateTimers[i]->start(left > 0 ? int(left) : leftoverMinimum);|updateTimers[i]->start(left > 0 ? int(left) : 0);
news/refreshscheduler.cpp|return metered && policyOf(followed) == Settings::MeteredManualOnly;|return metered && policyOf(followed) != Settings::MeteredManualOnly;
LIST
)

# "\|" in a field stands for a literal "|".
field() { sed -e 's/\\|/\x01/g' <<<"$1" | cut -d'|' -f"$2" | tr '\001' '|'; }

# Replaces OLD by NEW in FILE; fails unless OLD is found exactly once, within one line.
replace_once() {
  python3 - "$1" "$2" "$3" <<'PY'
import sys
path, old, new = sys.argv[1:4]
text = open(path, encoding="utf-8").read()
n = text.count(old)
if n != 1 or "\n" in old:
    sys.exit("%s: %r found %d times" % (path, old, n))
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
}

mapfile -t LINES <<<"$MUTANTS_LIST"
N=${#LINES[@]}

# Check the whole list first: a stale mutant stops the run before anything is built.
for i in "${!LINES[@]}"; do
  f=$ROOT/src/logic/$(field "${LINES[$i]}" 1)
  old=$(field "${LINES[$i]}" 2)
  c=$(python3 -c 'import sys; print(open(sys.argv[1], encoding="utf-8").read().count(sys.argv[2]))' "$f" "$old")
  if [ "$c" != 1 ]; then
    echo "mutant $((i + 1)) no longer matches once ($c times) in $f: $old" >&2
    exit 2
  fi
done

SAVED=""
SAVED_COPY=$(mktemp)
restore() {
  if [ -n "$SAVED" ]; then
    cp "$SAVED_COPY" "$SAVED" # a new time stamp, so that the restored file is built again
    SAVED=""
  fi
}
trap 'restore; rm -f "$SAVED_COPY"' EXIT
trap 'restore; exit 130' INT TERM

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  # The logic library is shared, so that a mutant costs one compile and one library link.
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DKURENDAL_BENCH=OFF \
    -DKURENDAL_SHARED_LOGIC=ON -DCMAKE_LINK_DEPENDS_NO_SHARED=ON >/dev/null || exit 2
fi

# The tests that most likely catch a fault in each file run first; then the other logic tests,
# then the screen tests. Each test is built just before it runs, and the first failure ends the
# mutant's run, so a caught mutant costs one compile, a link or two and one test.
LOGIC_TESTS=$(cd "$ROOT/tests/logic" && ls tst_*.cpp | sed 's/\.cpp$//')
SCREEN_TESTS=$(cd "$ROOT/tests/screens" && ls tst_*.cpp | sed 's/\.cpp$//')
[ "${SCREENS:-1}" = 0 ] && SCREEN_TESTS="" # the logic tests alone
ALL_TARGETS="$LOGIC_TESTS $SCREEN_TESTS"
first_tests() {
  case "$1" in
    news/feedxml.cpp) echo tst_feedxml ;;
    news/articleparser.cpp) echo tst_feedxml ;;
    news/channel.cpp) echo tst_rsschannel tst_datafolder ;;
    news/article.cpp) echo tst_article ;;
    base/file.cpp) echo tst_datafolder ;;
    news/briefcasestore.cpp) echo tst_article ;;
    news/settings.cpp) echo tst_settings ;;
    net/downloadservice.cpp) echo tst_network ;;
    net/request.cpp) echo tst_network ;;
    base/picturereader.cpp) echo tst_picturereader ;;
    news/refreshscheduler.cpp) echo tst_desktopbus ;;
  esac
}
in_tree() { [ -f "$ROOT/tests/logic/$1.cpp" ] || [ -f "$ROOT/tests/screens/$1.cpp" ]; }

run_tests() { # $1: the mutated file; prints the first test that fails
  local first="" rest="" t
  for t in $(first_tests "$1"); do
    in_tree "$t" && first="$first $t"
  done
  for t in $LOGIC_TESTS $SCREEN_TESTS; do
    [[ " $first " != *" $t "* ]] && rest="$rest $t"
  done
  for t in $first; do
    cmake --build "$BUILD" -j2 --target "$t" >/dev/null 2>&1 || { echo "$t (does not build)"; return 1; }
    (cd "$BUILD" && ctest -R "^$t\$" --timeout "$TEST_TIMEOUT" >/dev/null 2>&1) || { echo "$t"; return 1; }
  done
  # The others are built together, two links at a time, and run in turn.
  local set out name
  for set in "$(echo $rest | tr ' ' '\n' | grep -xF -f <(echo $LOGIC_TESTS | tr ' ' '\n'))" \
             "$(echo $rest | tr ' ' '\n' | grep -xF -f <(echo ${SCREEN_TESTS:-none} | tr ' ' '\n'))"; do
    [ -n "$set" ] || continue
    cmake --build "$BUILD" -j2 --target $set >/dev/null 2>&1 || { echo "$(echo $set | cut -d' ' -f1) (does not build)"; return 1; }
    out=$(cd "$BUILD" && ctest -R "^($(echo $set | tr ' ' '|'))\$" --stop-on-failure --timeout "$TEST_TIMEOUT" 2>&1)
    if [ $? -ne 0 ]; then
      name=$(grep -m1 -E 'Test +#[0-9]+: .*(\*\*\*|Not Run|Failed)' <<<"$out" | grep -oE 'tst_[A-Za-z0-9_]+' | head -1)
      echo "${name:-a test}"
      return 1
    fi
  done
  return 0
}

# A test that catches a mutant must pass on the unchanged tree (a test that fails without any
# mutant, or only now and then, catches nothing): each such test is run once without its mutant.
PASSES_UNCHANGED=" "
confirmed() { # $1: the test; the mutated file is restored already
  [[ "$PASSES_UNCHANGED" == *" $1 "* ]] && return 0
  cmake --build "$BUILD" -j2 --target "$1" >/dev/null 2>&1 || return 1
  (cd "$BUILD" && ctest -R "^$1\$" --timeout "$TEST_TIMEOUT" >/dev/null 2>&1) || return 1
  PASSES_UNCHANGED="$PASSES_UNCHANGED$1 "
}

killed=0; ran=0; SURVIVORS=""; UNDECIDED=""
for i in "${!LINES[@]}"; do
  k=$((i + 1))
  if [ -n "${MUTANTS:-}" ] && ! [[ " $MUTANTS " == *" $k "* ]]; then continue; fi
  rel=$(field "${LINES[$i]}" 1)
  f=$ROOT/src/logic/$rel
  old=$(field "${LINES[$i]}" 2)
  new=$(field "${LINES[$i]}" 3)
  cp -p "$f" "$SAVED_COPY"
  SAVED=$f
  replace_once "$f" "$old" "$new" || exit 2
  ran=$((ran + 1))
  if first=$(run_tests "$rel"); then
    restore
    verdict="SURVIVED"
    SURVIVORS="$SURVIVORS $k"
  else
    restore
    if [[ "$first" == *"(does not build)"* ]] || confirmed "$first"; then
      verdict="killed by $first"
      killed=$((killed + 1))
    else
      verdict="UNDECIDED: $first fails unchanged"
      UNDECIDED="$UNDECIDED $k"
    fi
  fi
  printf '%2d %-26s %-30s %s  =>  %s\n' "$k" "$rel" "$verdict" "$old" "$new"
done
echo "killed $killed of $ran${SURVIVORS:+ (survivors:$SURVIVORS)}${UNDECIDED:+ (undecided:$UNDECIDED)}"
