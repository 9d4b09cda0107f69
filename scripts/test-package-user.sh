#!/bin/sh
# What an ordinary user does with the installed packages, run by
# scripts/test-package.sh as that user, in their home folder, on the system
# the packages were installed on:
#   test-package-user.sh VERSION SAMPLE.test OUT_FOLDER
# Fails at the first thing that does not work; the desktop program's
# screenshot is left in OUT_FOLDER/kova-gui.png to be looked at.
set -eu
version=$1
sample=$2
out=$3
cd "$HOME"
unset KOVA_SETTINGS QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$HOME/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
step() { echo "-- $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }
# Anything the programs write below /usr is a fault: compared at the end.
touch "$HOME/start-stamp"

step "kova --version"
[ "$(kova --version)" = "$version" ] || fail "kova --version says $(kova --version), not $version"
[ "$(kova-gui --version)" = "$version" ] || fail "kova-gui --version"
[ "$(kova-sim --version)" = "$version" ] || fail "kova-sim --version"

step "kova record show"
cp "$sample" record.test
kova record show record.test > shown.txt
cat shown.txt
serial=$(sed -n 's/^Serial number: *//p' shown.txt)
[ -n "$serial" ] || fail "record show names no serial number"

step "kova print (the report generator's fonts and the installed data)"
kova print record.test -o report.pdf
[ "$(head -c 5 report.pdf)" = "%PDF-" ] || fail "kova print wrote no PDF"
step "kova record export --format pdf (the report generator from /usr/share/kova)"
mkdir -p exports
kova record export --format pdf record.test -o exports
[ "$(head -c 5 exports/record.pdf)" = "%PDF-" ] || fail "the PDF export wrote no PDF"

step "kova library add, history"
kova library add record.test
kova library history "$serial" | tee history.txt
grep -q "$serial" history.txt || fail "history does not show $serial"
[ -f "$HOME/.local/share/kova/kova-library.sqlite" ] || fail "the library is not in the user's data folder"

step "kova-sim and kova device dir"
kova-sim --model 7100B --pty-link "$HOME/kova-port" --tests 3 &
sim=$!
for _ in $(seq 50); do [ -e "$HOME/kova-port" ] && break; sleep 0.1; done
kova device --port "$HOME/kova-port" dir | tee dir.txt
kill "$sim" 2>/dev/null || true
wait "$sim" 2>/dev/null || true
[ "$(grep -c . dir.txt)" -ge 3 ] || fail "device dir listed fewer than the 3 stored tests"

step "kova-gui under Xvfb, opening the record"
display=:57
Xvfb "$display" -screen 0 1280x800x24 -fbdir "$HOME" -nolisten tcp &
xvfb=$!
sleep 1
DISPLAY=$display kova-gui record.test &
gui=$!
sleep 6
kill -0 "$gui" 2>/dev/null || fail "kova-gui ended on its own"
xwdtopnm "$HOME/Xvfb_screen0" 2>/dev/null | pnmtopng > "$out/kova-gui.png"
kill "$gui" "$xvfb"
wait "$gui" 2>/dev/null || true
wait "$xvfb" 2>/dev/null || true

step "man kova"
MANWIDTH=80 man kova 2>/dev/null | col -b > man.txt
grep -q "kova record show" man.txt || fail "man kova does not render the commands"
head -12 man.txt

step "bash completion of kova"
words=$(bash -c '. /usr/share/bash-completion/bash_completion
  . /usr/share/bash-completion/completions/kova
  COMP_LINE="kova rec"; COMP_POINT=${#COMP_LINE}; COMP_WORDS=(kova rec); COMP_CWORD=1
  _kova; echo "${COMPREPLY[*]}"
  COMP_LINE="kova record export --format "; COMP_POINT=${#COMP_LINE}
  COMP_WORDS=(kova record export --format ""); COMP_CWORD=4
  _kova; echo "${COMPREPLY[*]}"')
echo "$words"
echo "$words" | head -1 | grep -qx "record" || fail "completion of 'kova rec'"
echo "$words" | tail -1 | grep -q "xlsx" || fail "completion of 'kova record export --format'"

step "nothing written below /usr"
written=$(find /usr -newer "$HOME/start-stamp" -not -type d 2>/dev/null | head -5)
[ -z "$written" ] || fail "written below /usr: $written"
echo "user checks passed"
