#!/usr/bin/env bash
# What a user installs: the install tree of a build, its Debian package, and
# the zip of a Windows build, each made in a scratch folder and checked.
#   tests/package_test.sh install BUILD VERSION
#   tests/package_test.sh deb BUILD VERSION
#   tests/package_test.sh zip WINDOWS_BUILD VERSION
set -euo pipefail
what=$1 build=$2 version=$3
scratch=$(mktemp -d "${TMPDIR:-/tmp}/gbk-package-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
# Documentation gzipped as Debian keeps it: best compression, and no file
# name or time in the header (gzip -9n), so the same text gives the same bytes.
expect_gzip_n() {
  local header
  header=$(od -An -tx1 -N10 "$1" | tr -d ' \n')
  [[ $header == 1f8b0800000000000203 ]] || fail "$1: not made by gzip -9n (header $header)"
}
# Every line ends in CR LF.
expect_crlf() {
  [ -s "$1" ] || fail "$1 is empty"
  LC_ALL=C awk '!/\r$/ { bad = 1 } END { exit bad }' "$1" || fail "$1 has a line that does not end in CR LF"
}
expect_same() {  # expect_same WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] || fail "$1: expected
$2
got
$3"
}

case $what in
install)
  cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
  expect_same "installed files" \
"bin/gbkconvert
share/doc/gbkconvert/LICENSE
share/doc/gbkconvert/README.md
share/man/man1/gbkconvert.1.gz" "$(cd "$scratch/prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)"
  expect_same "the installed program's version" "gbkconvert $version" "$("$scratch/prefix/bin/gbkconvert" --version)"
  # The user's README: how to run the program and read its report, nothing
  # of building or testing it.
  readme=$(cat "$scratch/prefix/share/doc/gbkconvert/README.md")
  for told in "## The report at the end of a run" "byte-order mark: UTF-8, skipped" "is not a course file" \
              "student records without an answer key" "Exit codes" "## A whole session: every course file of a folder"; do
    [[ $readme == *"$told"* ]] || fail "the installed README does not tell $told"
  done
  for building in ./run ./test cmake HACKING.md; do
    [[ $readme != *"$building"* ]] || fail "the installed README speaks of $building"
  done
  expect_gzip_n "$scratch/prefix/share/man/man1/gbkconvert.1.gz"
  man_page="$scratch/gbkconvert.1"
  gzip -dc "$scratch/prefix/share/man/man1/gbkconvert.1.gz" >"$man_page"
  grep -q "^\.TH GBKCONVERT 1 \"[0-9-]*\" \"gbkconvert $version\"" "$man_page" || fail "manual page title: $(head -n 1 "$man_page")"
  # Every section a reader looks for, and no complaint from the formatter.
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" EXAMPLES; do
    grep -q "^\.SH \"\?$section\"\?\$" "$man_page" || fail "manual page without $section"
  done
  grep -q '^\.SS The interactive run$' "$man_page" || fail "manual page without the interactive run"
  grep -q '^\.SS A whole folder$' "$man_page" || fail "manual page without a whole folder"
  warnings=$(groff -man -Tutf8 -ww -z "$man_page" 2>&1)
  [ -z "$warnings" ] || fail "groff warns about the manual page: $warnings"
  ;;
deb)
  (cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >cpack.log 2>&1) ||
    fail "cpack: $(cat "$scratch/cpack.log")"
  package=$(ls "$scratch"/out/*.deb)
  expect_same "package name" "gbkconvert_${version}-1_$(dpkg --print-architecture).deb" "$(basename "$package")"
  expect_same "files in the package" \
"./usr/bin/gbkconvert
./usr/share/doc/gbkconvert/LICENSE
./usr/share/doc/gbkconvert/README.md
./usr/share/doc/gbkconvert/changelog.Debian.gz
./usr/share/doc/gbkconvert/copyright
./usr/share/man/man1/gbkconvert.1.gz" "$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)"
  expect_same "package version" "$version-1" "$(dpkg-deb -f "$package" Version)"
  dpkg-deb -x "$package" "$scratch/root"
  doc="$scratch/root/usr/share/doc/gbkconvert"
  expect_gzip_n "$scratch/root/usr/share/man/man1/gbkconvert.1.gz"
  expect_gzip_n "$doc/changelog.Debian.gz"
  gzip -dc "$doc/changelog.Debian.gz" >"$scratch/changelog"
  expect_same "the changelog's version" "$version-1" "$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)"
  expect_same "the changelog's maintainer" "$(dpkg-deb -f "$package" Maintainer)" \
    "$(dpkg-parsechangelog -l "$scratch/changelog" -S Maintainer)"
  # The copyright file in Debian's machine-readable form holds the licence
  # word for word.
  head -n 1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright file not in the machine-readable form: $(head -n 1 "$doc/copyright")"
  grep -qx 'License: Expat' "$doc/copyright" || fail "copyright file without License: Expat"
  expect_same "the licence in the copyright file" "$(sed -n '/^Permission/,$p' "$doc/LICENSE" | tr -s ' \n' ' ')" \
    "$(sed -n '/^ Permission/,$p' "$doc/copyright" | sed 's/^ \.$//' | tr -s ' \n' ' ' | sed 's/^ //')"
  # Debian's own checks: no errors (warnings and notes are shown).
  lintian_output=$(lintian --fail-on error --display-info "$package" 2>&1) ||
    fail "lintian finds errors in the package:
$lintian_output"
  [ -z "$lintian_output" ] || printf 'lintian:\n%s\n' "$lintian_output"
  [ -n "$(dpkg-deb -f "$package" Maintainer)" ] || fail "no maintainer"
  [ -n "$(dpkg-deb -f "$package" Description)" ] || fail "no description"
  # The libraries the program links, found by dpkg-shlibdeps.
  depends=$(dpkg-deb -f "$package" Depends)
  for library in libc6 libstdc++6; do
    [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
  done
  ;;
zip)
  (cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$scratch/out" >cpack.log 2>&1) ||
    fail "cpack: $(cat "$scratch/cpack.log")"
  archive="$scratch/out/gbkconvert-$version-win64.zip"
  [ -f "$archive" ] || fail "no $archive: $(ls "$scratch/out")"
  expect_same "files in the zip" \
"gbkconvert-$version-win64/LICENSE.txt
gbkconvert-$version-win64/README.txt
gbkconvert-$version-win64/gbkconvert.exe" "$(cmake -E tar tf "$archive" | grep -v '/$' | LC_ALL=C sort)"
  (cd "$scratch" && cmake -E tar xf "$archive")
  unpacked="$scratch/gbkconvert-$version-win64"
  expect_crlf "$unpacked/README.txt"
  expect_crlf "$unpacked/LICENSE.txt"
  # Written for a Windows user: what it converts, how to run it, the exit
  # codes, where the outputs go; nothing of the Linux build.
  readme=$(tr -d '\r' <"$unpacked/README.txt")
  [[ $(head -n 1 <<<"$readme") == "gbkconvert $version for Windows" ]] || fail "README.txt title: $(head -n 1 <<<"$readme")"
  for told in "EXAM.dat" "EXAM.txt" "EXAM.ans" "Double-click gbkconvert.exe" "From the command prompt (cmd)" \
              "gbkconvert.exe EXAM" "gbkconvert.exe --all" "Exit codes" "%ERRORLEVEL%" "in the folder" "Notepad"; do
    [[ $readme == *"$told"* ]] || fail "README.txt does not tell $told"
  done
  for linux in cmake apt-get ./run ./test Wine; do
    [[ $readme != *"$linux"* ]] || fail "README.txt speaks of $linux"
  done
  ;;
*)
  fail "unknown check $what"
  ;;
esac
echo "$what: as expected"
