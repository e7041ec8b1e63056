#!/bin/sh
# SPDX-License-Identifier: BSD-3-Clause
# The English catalogues of the program's texts (the source texts are Chinese).
#   scripts/translations.sh update   brings translations/*.ts up to date with the sources
#                                    (new texts come in unfinished; texts no longer used go)
#   scripts/translations.sh check    fails, naming them, when a text has no finished translation
#                                    or a catalogue keeps a text the sources no longer use
# LUPDATE names the lupdate program (default: Qt 6's).
set -eu
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
mode=${1:-check}

# The window program's catalogue holds every text outside the command line; the command line
# loads both.
sources() {
    case $1 in
    saedindex) find core model indexing measure calculator library store simulation analysis app \
                   -path app/cli -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort ;;
    saedindex-cli) find app/cli \( -name '*.cpp' -o -name '*.h' \) -print | sort ;;
    esac
}

run_lupdate() { # catalogue ts-file [extra options]
    list=$(mktemp)
    sources "$1" > "$list"
    ts=$2
    shift 2
    "$lupdate" -silent -locations none -I "$PWD" -source-language zh_CN -target-language en "$@" \
        @"$list" -ts "$ts"
    rm -f "$list"
}

status=0
for catalogue in saedindex saedindex-cli; do
    ts=translations/${catalogue}_en.ts
    case $mode in
    update) run_lupdate "$catalogue" "$ts" -no-obsolete ;;
    check)
        copy=$(mktemp --suffix=.ts)
        cp "$ts" "$copy"
        run_lupdate "$catalogue" "$copy"
        if ! cmp -s "$ts" "$copy"; then
            echo "$ts is not up to date with the sources; run scripts/translations.sh update" >&2
            status=1
        fi
        # Every message of the refreshed copy must carry a finished translation.
        if grep -n -B3 -E 'type="(unfinished|obsolete|vanished)"' "$copy" >&2; then
            echo "$ts: the texts above have no finished English translation or are no longer used" >&2
            status=1
        fi
        rm -f "$copy"
        ;;
    *) echo "usage: $0 update|check" >&2; exit 2 ;;
    esac
done
exit $status
