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
share/man/man1/gbkconvert.1" "$(cd "$scratch/prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)"
  expect_same "the installed program's version" "gbkconvert $version" "$("$scratch/prefix/bin/gbkconvert" --version)"
  man_page="$scratch/prefix/share/man/man1/gbkconvert.1"
  grep -q "^\.TH GBKCONVERT 1 \"[0-9-]*\" \"gbkconvert $version\"" "$man_page" || fail "manual page title: $(head -n 1 "$man_page")"
  # Every section a reader looks for, and no complaint from the formatter.
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" EXAMPLES; do
    grep -q "^\.SH \"\?$section\"\?\$" "$man_page" || fail "manual page without $section"
  done
  grep -q '^\.SS The interactive run$' "$man_page" || fail "manual page without the interactive run"
  warnings=$(groff -man -Tutf8 -ww -z "$man_page" 2>&1)
  [ -z "$warnings" ] || fail "groff warns about the manual page: $warnings"
  ;;
deb)
  (cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >cpack.log 2>&1) ||
    fail "cpack: $(cat "$scratch/cpack.log")"
  package=$(ls "$scratch"/out/*.deb)
  expect_same "package name" "gbkconvert_${version}_$(dpkg --print-architecture).deb" "$(basename "$package")"
  expect_same "files in the package" \
"./usr/bin/gbkconvert
./usr/share/doc/gbkconvert/LICENSE
./usr/share/doc/gbkconvert/README.md
./usr/share/man/man1/gbkconvert.1" "$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)"
  expect_same "package version" "$version" "$(dpkg-deb -f "$package" Version)"
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
  ;;
*)
  fail "unknown check $what"
  ;;
esac
echo "$what: as expected"
