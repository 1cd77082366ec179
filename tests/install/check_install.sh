#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ripplescope developers
# SPDX-License-Identifier: MIT
# Installs the build into a throw-away DESTDIR and checks what a desktop would find there.
#   check_install.sh BUILD_DIR SOURCE_DIR tree|desktop-entry|mime-type [--with-render]
# Exit 77 tells ctest the check was skipped because a validator is not installed.
set -euo pipefail
build=$1
source=$2
check=$3
with_render=${4:-}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr > "$stage.log" 2>&1 || {
    cat "$stage.log" >&2
    rm -f "$stage.log"
    exit 1
}
rm -f "$stage.log"
usr=$stage/usr
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
skip() {
    echo "SKIP: $* is not installed (scripts/bootstrap installs it)"
    exit 77
}
# The value of KEY in the [Desktop Entry] group; empty when the key is missing.
desktop_value() {
    awk -F= -v key="$1" '/^\[/ { group = $0 } group == "[Desktop Entry]" && $1 == key { print substr($0, length(key) + 2); exit }' \
        "$usr/share/applications/ripplescope.desktop"
}

tree() {
    local expected=(
        bin/ripplescope
        share/applications/ripplescope.desktop
        share/icons/hicolor/32x32/apps/ripplescope.png
        share/icons/hicolor/32x32/mimetypes/application-x-ripplescope-scene.png
        share/icons/hicolor/scalable/apps/ripplescope.svg
        share/icons/hicolor/scalable/mimetypes/application-x-ripplescope-scene.svg
        share/mime/packages/ripplescope.xml
    )
    if [ "$with_render" = --with-render ]; then
        expected+=(bin/ripplescope-render share/man/man1/ripplescope-render.1.gz)
    fi
    # Exactly these files: nothing missing, and no library, header or test program left over.
    local want got
    want=$(printf '%s\n' "${expected[@]}" | sort)
    got=$(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort)
    if [ "$want" != "$got" ]; then
        fail "installed tree differs from the expected one:"
        diff <(echo "$want") <(echo "$got") >&2 || true
    fi

    for program in bin/ripplescope ${with_render:+bin/ripplescope-render}; do
        [ -x "$usr/$program" ] || fail "$program is not executable"
    done

    # The launcher starts an installed program and names an installed icon; the program takes no
    # command line, so the launcher must not offer to open files with it.
    local exec icon
    exec=$(desktop_value Exec)
    icon=$(desktop_value Icon)
    [ -x "$usr/bin/$exec" ] || fail "Exec=$exec is not an installed program"
    [ -f "$usr/share/icons/hicolor/32x32/apps/$icon.png" ] || fail "Icon=$icon has no 32x32 PNG"
    [ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon has no scalable SVG"
    [ "$(desktop_value Name)" = Ripplescope ] || fail "Name is not Ripplescope"
    [ -n "$(desktop_value 'Name[ja]')" ] || fail "no Japanese Name[ja]"
    [ -n "$(desktop_value 'Comment[ja]')" ] || fail "no Japanese Comment[ja]"
    [ "$(desktop_value Categories)" = "Education;Science;Physics;" ] || fail "Categories are wrong"
    [ -z "$(desktop_value MimeType)" ] || fail "the launcher declares a MimeType"

    for size_dir in 32x32 scalable; do
        for f in "$usr/share/icons/hicolor/$size_dir"/*/*; do
            case $f in
            *.png) cmp -s "$f" "$source/app/icons/ripplescope.png" || fail "$f is not the window icon" ;;
            *.svg) cmp -s "$f" "$source/app/icons/ripplescope.svg" || fail "$f is not the icon drawing" ;;
            esac
        done
    done

    if [ "$with_render" = --with-render ]; then
        local page=$usr/share/man/man1/ripplescope-render.1.gz
        gzip -t "$page" 2> /dev/null || fail "the manual page is not gzip-compressed"
        gzip -dc "$page" 2> /dev/null | grep -q '^\.TH RIPPLESCOPE-RENDER 1 ' || fail "the manual page has no .TH line for section 1"

        # The installed exporter runs on its own, away from the build tree, and writes a whole
        # 601 x 601 PNG frame of the example scene.
        local frame=$stage/frame.png
        if "$usr/bin/ripplescope-render" --time 12 "$source/docs/two-sources.rsd" "$frame"; then
            [ "$(od -An -tx1 -N8 "$frame" | tr -d ' ')" = 89504e470d0a1a0a ] || fail "the exported frame is not a PNG"
            [ "$(od -An -tx1 -j16 -N8 "$frame" | tr -d ' ')" = 0000025900000259 ] || fail "the exported frame is not 601 x 601"
        else
            fail "the installed ripplescope-render could not export a frame"
        fi
    fi
}

desktop_entry() {
    command -v desktop-file-validate > /dev/null || skip desktop-file-validate
    desktop-file-validate "$usr/share/applications/ripplescope.desktop" || fail "desktop-file-validate rejects the entry"
}

mime_type() {
    command -v xmllint > /dev/null || skip xmllint
    command -v update-mime-database > /dev/null || skip update-mime-database
    local xml=$usr/share/mime/packages/ripplescope.xml
    xmllint --noout "$xml" || fail "the MIME type XML is not well-formed"
    xmllint --noout "$usr/share/icons/hicolor/scalable/apps/ripplescope.svg" || fail "the SVG icon is not well-formed"
    # Build the MIME database of the staged tree alone and ask it what a file manager would ask.
    update-mime-database "$usr/share/mime" > /dev/null || fail "update-mime-database rejects the XML"
    grep -qx '[0-9]*:application/x-ripplescope-scene:\*\.rsd' "$usr/share/mime/globs2" ||
        fail "*.rsd does not map to application/x-ripplescope-scene"
    grep -qx 'application/x-ripplescope-scene:ripplescope' "$usr/share/mime/icons" ||
        fail "the scene type does not use the ripplescope icon"
    grep -q '<comment>Ripplescope scene</comment>' "$usr/share/mime/application/x-ripplescope-scene.xml" ||
        fail "the scene type is not described as \"Ripplescope scene\""
}

case $check in
tree) tree ;;
desktop-entry) desktop_entry ;;
mime-type) mime_type ;;
*)
    echo "unknown check $check" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ]
