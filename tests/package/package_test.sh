#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the Debian package from this build folder and checks it as a user receives it:
# lintian finds no error, the dependencies come from the binaries, the programs run from
# the unpacked tree (shared libraries through the relative run path, the resource module by
# name from lib/), and the desktop entry, metainfo, icon, manual page and completion are
# there and valid. Exits 77 (skipped) only when a packaging tool is not installed.
#   package_test.sh SOURCE_DIR BUILD_DIR VERSION
set -uo pipefail
src=$(realpath "${1:?source dir}")
build=$(realpath "${2:?build dir}")
version=${3:?version}

missing=()
for tool in dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli file; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "package test skipped: ${missing[*]} not installed (scripts/setup.sh installs them)"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
work=$(realpath "$work")
status=0
fail() {
    echo "package: $*" >&2
    status=1
}

deb=$("$src/scripts/package.sh" --no-build "$build" "$work/out") || {
    echo "package: scripts/package.sh failed" >&2
    exit 1
}
[ -f "$deb" ] || { echo "package: no package at '$deb'" >&2; exit 1; }

# lintian finds neither errors nor warnings, but that of a package never uploaded.
findings=$(lintian "$deb" 2>&1 | grep -E '^(E|W): ' | grep -v 'initial-upload-closes-no-bugs' || true)
[ -z "$findings" ] || fail "lintian: $findings"

# The control data.
[ "$(dpkg-deb -f "$deb" Package)" = tessera ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libfltk1.3 libcairo2 libfontconfig1 fonts-dejavu-core; do
    [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no description"

# The unpacked tree.
root=$work/root
dpkg-deb -x "$deb" "$root" || exit 1
for f in bin/tessera bin/quill-xml bin/quill-chart bin/quill-edit bin/quill-dlg \
    lib/tessera/libplatform.so lib/tessera/libQuillRES.so \
    share/applications/tessera.desktop \
    share/icons/hicolor/48x48/apps/tessera.png share/icons/hicolor/scalable/apps/tessera.svg \
    share/metainfo/io.github.tessera.Tessera.metainfo.xml \
    share/man/man1/tessera.1.gz share/man/man1/quill-xml.1.gz share/man/man1/quill-chart.1.gz \
    share/man/man1/quill-edit.1.gz share/man/man1/quill-dlg.1.gz \
    share/bash-completion/completions/tessera \
    share/doc/tessera/copyright share/doc/tessera/changelog.Debian.gz; do
    [ -f "$root/usr/$f" ] || fail "missing /usr/$f"
done
file "$root/usr/bin/tessera" | grep -q ", stripped" || fail "tessera is not stripped"

# The programs find their private libraries in the unpacked lib/tessera/, not in the build
# tree, and nothing of theirs lies in the public lib/.
libs=$(env -u LD_LIBRARY_PATH ldd "$root/usr/bin/tessera")
grep -q "libplatform.so => $root/usr/bin/../lib/tessera/libplatform.so" <<<"$libs" ||
    fail "libplatform not found through the run path: $(grep libplatform <<<"$libs")"
[ "$(env -u LD_LIBRARY_PATH "$root/usr/bin/tessera" --version)" = "tessera $version" ] ||
    fail "--version"
env -u DISPLAY -u LD_LIBRARY_PATH "$root/usr/bin/tessera" --report >"$work/report.txt" ||
    fail "--report failed"
cmp -s "$work/report.txt" "$src/tests/engine/data/default_report_mm.txt" ||
    fail "--report differs from the default design's report"
[ -z "$(find "$root/usr/lib" -maxdepth 1 -type f)" ] || fail "files in the public /usr/lib"
# The resource module, loaded by its module name from lib/tessera/ beside bin/.
env -u LD_LIBRARY_PATH "$root/usr/bin/quill-dlg" --resources >"$work/res.txt" ||
    fail "quill-dlg --resources: $(cat "$work/res.txt")"
grep -qx "module $root/usr/lib/tessera/libQuillRES.so" "$work/res.txt" ||
    fail "QuillRES not loaded from the package: $(head -n 1 "$work/res.txt")"
grep -q "^dialog IDD_QUILLRES_" "$work/res.txt" || fail "QuillRES holds no dialog templates"

# Desktop integration.
desktop-file-validate "$root/usr/share/applications/tessera.desktop" || fail "desktop entry"
grep -q "^Categories=.*Science;.*Electronics;" "$root/usr/share/applications/tessera.desktop" ||
    fail "desktop entry categories"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.tessera.Tessera.metainfo.xml" ||
    fail "metainfo"
file "$root/usr/share/icons/hicolor/48x48/apps/tessera.png" | grep -q "PNG image data, 48 x 48" ||
    fail "the icon is no 48x48 PNG"
svg=$root/usr/share/icons/hicolor/scalable/apps/tessera.svg
grep -q "<svg" "$svg" && grep -q "<path" "$svg" && ! grep -q "<image" "$svg" ||
    fail "the scalable icon is not drawn as vector shapes"

# The manual page's options and the completion are made from the program's table of options
# at build time (the command line's unit tests hold the table to them); here the installed
# page keeps its other sections.
man=$(zcat "$root/usr/share/man/man1/tessera.1.gz" | sed 's/\\-/-/g')
completion=$root/usr/share/bash-completion/completions/tessera
grep -q -- "--touchstone" <<<"$man" || fail "the manual page has no options"
for section in "FILES" "Tessera.ini" "EXIT STATUS" "EXAMPLES" "home folder"; do
    grep -q "$section" <<<"$man" || fail "the manual page lacks '$section'"
done
# The completion works: options by prefix, chart files by extension.
touch "$work/a.png" "$work/b.txt"
got=$(cd "$work" && bash -c 'source "$1"; COMP_WORDS=(tessera --tun); COMP_CWORD=1; _tessera
    echo "${COMPREPLY[*]}"; COMP_WORDS=(tessera --chart ""); COMP_CWORD=2; _tessera
    printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' _ "$completion")
[ "$got" = "--tuning --tuning-csv
a.png out root " ] || fail "completion offers '$got'"

[ $status -eq 0 ] && echo "package: $deb checked"
exit $status
