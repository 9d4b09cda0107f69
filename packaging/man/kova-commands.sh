#!/bin/sh
# Writes the COMMANDS section of kova(1), in help2man's include form, from
# the help of every command of the built program:
#   kova-commands.sh PATH/TO/kova > kova-commands.h2m
# A command gets its usage line, its one-line description, its arguments and
# its options (the help options left out); a command that only groups others
# is listed when it has options of its own, which its commands take too.
set -eu
kova=$1

subcommands() {
  awk '/^Subcommands:/ { s = 1; next } /^[^ ]/ { s = 0 } s && /^  [a-z]/ { print $1 }'
}

# One command's help as roff: ".SS usage", the description, ".TP" entries.
emit() {
  awk -v leaf="$1" '
    function roff(text) {
      gsub(/\\/, "\\e", text)
      if (text ~ /^[.\047]/) text = "\\&" text
      return text
    }
    function entry(line,    name, rest) {
      name = line; rest = ""
      if (length(line) > 30 && substr(line, 29, 2) == "  ") {
        name = substr(line, 1, 30); rest = substr(line, 31)
      }
      sub(/^ +/, "", name); sub(/ +$/, "", name); sub(/^ +/, "", rest)
      if (name ~ /^-h,--help$|^--help-all$/) return
      if (rest == "") { pending = name; return }
      name = roff(name); gsub(/-/, "\\-", name)
      items = items ".TP\n.B " name "\n" roff(rest) "\n"
      count++
    }
    NR == 1 { description = $0; next }
    /^Usage: / { usage = substr($0, 8); next }
    /^(Positionals|Options|Subcommands):/ { section = $1; next }
    /^[^ ]/ { section = "" }
    /^ / && (section == "Positionals:" || section == "Options:") {
      if (pending != "") {
        # A long option name: its description is on the next line.
        line = $0; sub(/^ +/, "", line)
        name = pending; pending = ""
        name = roff(name); gsub(/-/, "\\-", name)
        items = items ".TP\n.B " name "\n" roff(line) "\n"
        count++
        next
      }
      entry($0)
    }
    END {
      if (!leaf && count == 0) exit
      gsub(/-/, "\\-", usage)
      printf ".SS \"%s\"\n%s\n%s", usage, roff(description), items
    }'
}

walk() {
  help=$("$kova" "$@" --help)
  subs=$(printf '%s\n' "$help" | subcommands)
  if [ "$#" -gt 0 ]; then
    if [ -z "$subs" ]; then
      printf '%s\n' "$help" | emit 1
    else
      printf '%s\n' "$help" | emit 0
    fi
  fi
  for sub in $subs; do
    walk "$@" "$sub"
  done
}

echo "[COMMANDS]"
walk
