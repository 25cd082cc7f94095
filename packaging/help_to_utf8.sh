#!/bin/sh
# Turns the help pages of FOLDER from Windows-1252, which the compiled help of Windows needs,
# into UTF-8, as Linux wants its text.   usage: help_to_utf8.sh FOLDER
set -e
for page in "$1"/*.html; do
    iconv -f WINDOWS-1252 -t UTF-8 "$page" | sed 's/charset="windows-1252"/charset="utf-8"/' >"$page.utf8"
    mv "$page.utf8" "$page"
done
