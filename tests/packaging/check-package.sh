#!/usr/bin/env bash
# Makes the Debian package from a built build folder and checks it:
#   check-package.sh CPACK BUILD_DIR VERSION
# - the control fields (name, version, computed dependencies);
# - every file the package must hold;
# - unpacked into a scratch root: the programs answer --help and --version
#   there, the editor library exports its entry, no binary carries a run path;
# - the manual pages render and document every command and option that the
#   programs' --help lists; the bash completion completes commands and options;
# - the desktop entries and the MIME types are valid;
# - lintian, when installed, reports no errors.
# Prints one line per failed check and ends with "N passed, N failed".
set -uo pipefail

cpack=$1
build=$2
version=$3

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit $?
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/varnak-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# The package.
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  check "cpack makes the package" false
  finish
fi
debs=("$scratch"/out/*.deb)
check "cpack makes exactly one package (${debs[*]})" test "${#debs[@]}" -eq 1 -a -f "${debs[0]}"
[ -f "${debs[0]}" ] || finish
deb=${debs[0]}

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
check "package name is varnak" test "$(field Package)" = varnak
check "package version $(field Version) is the project's $version" test "$(field Version)" = "$version"
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6widgets6; do
  check "Depends ($depends) names $library" grep -q "$library" <<<"$depends"
done
for name in Maintainer Section Priority Description; do
  check "control field $name is set" test -n "$(field "$name")"
done

# Contents.
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$scratch/contents"
for path in \
  /usr/bin/varnak /usr/bin/varnak-cli /usr/bin/varnak-ecu-sim /usr/bin/brelith-edit \
  /usr/lib/varnak/libBrelith.so \
  /usr/share/applications/varnak.desktop /usr/share/applications/varnak-log.desktop \
  /usr/share/mime/packages/varnak.xml \
  /usr/share/icons/hicolor/scalable/apps/varnak.svg \
  /usr/share/icons/hicolor/16x16/apps/varnak.png /usr/share/icons/hicolor/32x32/apps/varnak.png \
  /usr/share/icons/hicolor/48x48/apps/varnak.png /usr/share/icons/hicolor/64x64/apps/varnak.png \
  /usr/share/icons/hicolor/128x128/apps/varnak.png /usr/share/icons/hicolor/256x256/apps/varnak.png \
  /usr/share/man/man1/varnak.1.gz /usr/share/man/man1/varnak-cli.1.gz \
  /usr/share/man/man1/varnak-ecu-sim.1.gz /usr/share/man/man1/brelith-edit.1.gz \
  /usr/share/bash-completion/completions/varnak-cli \
  /lib/systemd/system/varnak-logger@.service /lib/udev/rules.d/60-varnak-aldl.rules \
  /usr/share/doc/varnak/copyright /usr/share/doc/varnak/changelog.gz \
  /usr/share/doc/varnak/connecting-a-car.md /usr/share/doc/varnak/examples/logger.conf \
  /usr/share/doc/varnak/examples/demo-ecu.adx /usr/share/doc/varnak/examples/demo-ecu.scenario; do
  check "the package holds $path" grep -qxF "$path" "$scratch/contents"
done
check "no file of the package is in /etc (no conffiles are declared)" bash -c "! grep -q '^/etc/.' '$scratch/contents'"

# Unpacked into a scratch root.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
export QT_QPA_PLATFORM=offscreen

out=$("$bin/varnak-cli" --version 2>&1)
check "varnak-cli --version prints the version (got: $out)" grep -qx "varnak-cli $version" <<<"$out"
cli_help=$("$bin/varnak-cli" --help 2>&1)
check "varnak-cli --help succeeds" test $? -eq 0
out=$("$bin/varnak" --help 2>&1)
check "varnak --help succeeds from the package (got: $out)" test $? -eq 0
check "varnak --help prints the usage" grep -q "usage: varnak" <<<"$out"
window_help=$out
"$bin/varnak-ecu-sim" --help >/dev/null 2>&1
check "varnak-ecu-sim --help succeeds" test $? -eq 0
"$bin/brelith-edit" --help >/dev/null 2>&1
check "brelith-edit --help succeeds" test $? -eq 0

# The window starts from the package with the packaged editor library (found
# on the library path here, as the scratch root is not /usr) and the example
# definition, and closes by itself; a binding failure would wait on its
# message box until the time-out.
(
  export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/config XDG_DATA_HOME=$scratch/home/data
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  LD_LIBRARY_PATH=$root/usr/lib/varnak timeout 120 "$bin/varnak" \
    "$root/usr/share/doc/varnak/examples/demo-ecu.adx" --quit-after 1 >"$scratch/window.log" 2>&1
)
status=$?
check "the packaged window starts with the packaged library and closes (status $status)" test $status -eq 0
if command -v nm >/dev/null; then
  check "libBrelith.so exports BrelithEntry" bash -c "nm -D --defined-only '$root/usr/lib/varnak/libBrelith.so' | grep -qw BrelithEntry"
fi
if command -v readelf >/dev/null; then
  for elf in "$bin"/varnak "$bin"/varnak-cli "$bin"/varnak-ecu-sim "$bin"/brelith-edit \
    "$root/usr/lib/varnak/libBrelith.so"; do
    check "$(basename "$elf") has no RPATH or RUNPATH" bash -c "! readelf -d '$elf' | grep -qE 'RPATH|RUNPATH'"
  done
fi

# Manual pages: they render, carry the version, and document every command and
# option that the programs list in their --help.
man_text() { zcat "$root/usr/share/man/man1/$1.1.gz"; }
for page in varnak varnak-cli varnak-ecu-sim brelith-edit; do
  check "$page.1 names version $version" bash -c "zcat '$root/usr/share/man/man1/$page.1.gz' | head -3 | grep -qF 'Varnak $version'"
  if command -v groff >/dev/null; then
    warnings=$(man_text "$page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
    check "$page.1 renders without warnings: $warnings" test -z "$warnings"
  fi
done
# Options in roff are written with escaped hyphens (\-\-port).
documented() { man_text "$1" | sed 's/\\-/-/g'; }
cli_page=$(documented varnak-cli)
for option in $(grep -oE -- '(^|[ [])--?[a-z][a-z0-9-]*' <<<"$cli_help" | tr -d ' [' | sort -u); do
  check "varnak-cli.1 documents $option" grep -qF -- "$option" <<<"$cli_page"
done
for command in $(sed -n 's/^  \([a-z]\+\) .*/\1/p' <<<"$cli_help"); do
  check "varnak-cli.1 documents the command $command" grep -qE -- "^\.(SY|BI|B) \"?(varnak-cli )?$command\b" <<<"$cli_page"
done
window_page=$(documented varnak)
for option in $(grep -oE -- '(^|[ [])--[a-z][a-z0-9-]*' <<<"$window_help" | tr -d ' [' | sort -u); do
  check "varnak.1 documents $option" grep -qF -- "$option" <<<"$window_page"
done

# The completion, with stand-ins for the bash-completion helpers.
completion=$root/usr/share/bash-completion/completions/varnak-cli
complete_words() {  # complete_words WORD... : what the completion offers for the last word
  bash -c '
    _init_completion() { words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; cur=${words[cword]}; prev=${words[cword-1]}; }
    _filedir() { COMPREPLY=("<files${1:+ $1}>"); }
    source "$0" || exit 1
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _varnak_cli
    printf "%s\n" "${COMPREPLY[@]}"' "$completion" "$@"
}
check "completion offers scan for 'sc'" test "$(complete_words varnak-cli sc)" = scan
check "completion offers --units for 'export LOG DEF --u'" \
  test "$(complete_words varnak-cli export a.xdl b.adx --u)" = --units
check "completion offers definitions after 'scan'" test "$(complete_words varnak-cli scan '')" = "<files adx>"
check "completion offers logs first for 'play'" test "$(complete_words varnak-cli play '')" = "<files xdl>"
check "completion offers definitions second for 'play'" test "$(complete_words varnak-cli play a.xdl '')" = "<files adx>"
offered=$(complete_words varnak-cli '')
for command in $(sed -n 's/^  \([a-z]\+\) .*/\1/p' <<<"$cli_help"); do
  check "completion offers the command $command" grep -qx "$command" <<<"$offered"
done

# Desktop entries and MIME types.
if command -v desktop-file-validate >/dev/null; then
  for entry in "$root"/usr/share/applications/*.desktop; do
    out=$(desktop-file-validate "$entry" 2>&1)
    check "$(basename "$entry") is valid: $out" test -z "$out"
  done
fi
check "varnak.desktop opens definitions" grep -q '^MimeType=.*application/x-varnak-definition' \
  "$root/usr/share/applications/varnak.desktop"
check "varnak-log.desktop opens logs" grep -q '^MimeType=.*application/x-varnak-log' \
  "$root/usr/share/applications/varnak-log.desktop"
if command -v xmllint >/dev/null; then
  check "varnak.xml is well-formed" xmllint --noout "$root/usr/share/mime/packages/varnak.xml"
fi
check "varnak.xml names *.adx and *.xdl" \
  bash -c "grep -q 'pattern=\"\\*.adx\"' '$root/usr/share/mime/packages/varnak.xml' && grep -q 'pattern=\"\\*.xdl\"' '$root/usr/share/mime/packages/varnak.xml'"

# The logging service runs the packaged program with the instance's settings.
unit=$root/lib/systemd/system/varnak-logger@.service
check "the unit reads /etc/varnak/%i.conf" grep -qx 'EnvironmentFile=/etc/varnak/%i.conf' "$unit"
check "the unit runs varnak-cli log" grep -q '^ExecStart=/usr/bin/varnak-cli log ' "$unit"
if command -v systemd-analyze >/dev/null; then
  mkdir -p "$scratch/units"
  sed "s|/usr/bin/varnak-cli|$bin/varnak-cli|" "$unit" >"$scratch/units/varnak-logger@.service"
  out=$(systemd-analyze verify --man=no "$scratch/units/varnak-logger@.service" 2>&1)
  check "systemd-analyze accepts the unit: $out" test -z "$out"
fi
check "the udev rule names /dev/aldl" grep -q 'SYMLINK+="aldl"' "$root/lib/udev/rules.d/60-varnak-aldl.rules"

# The changelog's version is the project's.
check "changelog.gz starts with varnak ($version)" \
  bash -c "zcat '$root/usr/share/doc/varnak/changelog.gz' | head -1 | grep -qF 'varnak ($version)'"

if command -v lintian >/dev/null; then
  out=$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1)
  status=$?
  check "lintian reports no errors: $out" test $status -eq 0
else
  echo "lintian is not installed: skipped"
fi

finish
