#!/usr/bin/env bash
# Installs the browser's component into a temporary prefix and checks the desktop entry, the MIME
# type of .qmk files (any letter case) and the icons.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --component browser --prefix "$prefix" >/dev/null
share=$prefix/share
test -x "$prefix/bin/quillmark-browser"
desktop-file-validate "$share/applications/quillmark-browser.desktop"
grep -q '^MimeType=application/x-quillmark-runtime;$' "$share/applications/quillmark-browser.desktop"
test -s "$share/icons/hicolor/scalable/apps/quillmark-browser.svg"
test -s "$share/icons/hicolor/scalable/mimetypes/application-x-quillmark-runtime.svg"
update-mime-database "$share/mime"
grep -q ':application/x-quillmark-runtime:\*\.qmk' "$share/mime/globs2"
# The glob is not case-sensitive, so "LIB.QMK" is one too.
! grep -q ':application/x-quillmark-runtime:\*\.qmk:cs' "$share/mime/globs2"
echo "install ok"
