#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ripplescope developers
# SPDX-License-Identifier: MIT
# Installs the build into a throw-away DESTDIR and checks what a desktop would find there.
#   check_install.sh BUILD_DIR SOURCE_DIR tree|desktop-entry|metainfo|mime-type [--with-render]
# Exit 77 tells ctest the check was skipped because a validator is not installed.
set -euo pipefail
build=$1
source=$2
check=$3
with_render=${4:-}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# The validators' caches go to a home of the check's own, not the user's.
export HOME=$stage/home XDG_CACHE_HOME=$stage/home/.cache XDG_CONFIG_HOME=$stage/home/.config XDG_DATA_HOME=$stage/home/.local/share
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
# The one launcher and the one software-centre entry, whatever they are named; the tree check pins
# the names.
launcher=$(find "$usr/share/applications" -name '*.desktop' 2> /dev/null | head -n 1)
metainfo=$(find "$usr/share/metainfo" -name '*.metainfo.xml' 2> /dev/null | head -n 1)
app_id=$(basename "${metainfo:-none}" .metainfo.xml)
sizes=(16 24 32 48 64 128 256)
# The value of KEY in the [Desktop Entry] group; empty when the key is missing.
desktop_value() {
    awk -F= -v key="$1" '/^\[/ { group = $0 } group == "[Desktop Entry]" && $1 == key { print substr($0, length(key) + 2); exit }' \
        "$launcher"
}

tree() {
    local expected=(
        bin/ripplescope
        share/applications/$app_id.desktop
        share/metainfo/$app_id.metainfo.xml
        share/icons/hicolor/scalable/apps/ripplescope.svg
        share/icons/hicolor/scalable/mimetypes/application-x-ripplescope-scene.svg
        share/man/man1/ripplescope.1.gz
        share/mime/packages/ripplescope.xml
    )
    local size
    for size in "${sizes[@]}"; do
        expected+=(share/icons/hicolor/${size}x$size/apps/ripplescope.png
            share/icons/hicolor/${size}x$size/mimetypes/application-x-ripplescope-scene.png)
    done
    if [ "$with_render" = --with-render ]; then
        expected+=(bin/ripplescope-render share/man/man1/ripplescope-render.1.gz)
    fi
    # The id is reverse-DNS, and the entry and the launcher carry it in their names.
    [[ $app_id =~ ^[a-z0-9]+(\.[a-z0-9_-]+){2,}$ ]] || fail "the software-centre entry's id '$app_id' is not reverse-DNS"
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

    # The launcher starts an installed program with the one file a file manager hands it, for the
    # scene type the package installs, and names an installed icon.
    local exec icon
    exec=$(desktop_value Exec)
    icon=$(desktop_value Icon)
    [ -x "$usr/bin/${exec%% *}" ] || fail "Exec=$exec does not start an installed program"
    [ "$exec" = "${exec%% *} %f" ] || fail "Exec=$exec does not take one file (%f)"
    [ "$(desktop_value MimeType)" = application/x-ripplescope-scene\; ] ||
        fail "the launcher does not declare the scene type alone: MimeType=$(desktop_value MimeType)"
    [ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon has no scalable SVG"
    [ "$(desktop_value Name)" = Ripplescope ] || fail "Name is not Ripplescope"
    [ -n "$(desktop_value 'Name[ja]')" ] || fail "no Japanese Name[ja]"
    [ -n "$(desktop_value 'Comment[ja]')" ] || fail "no Japanese Comment[ja]"
    # Menus file a launcher under each main category it names, so it names exactly one.
    local main
    main=$(desktop_value Categories | tr ';' '\n' |
        grep -cxE 'AudioVideo|Audio|Video|Development|Education|Game|Graphics|Network|Office|Science|Settings|System|Utility' || true)
    [ "$main" = 1 ] || fail "Categories name $main main categories: $(desktop_value Categories)"

    for size in "${sizes[@]}"; do
        for f in "$usr/share/icons/hicolor/${size}x$size"/*/*; do
            cmp -s "$f" "$source/app/icons/ripplescope-$size.png" || fail "$f is not the drawn $size-pixel icon"
        done
    done
    for f in "$usr/share/icons/hicolor/scalable"/*/*; do
        cmp -s "$f" "$source/app/icons/ripplescope.svg" || fail "$f is not the icon drawing"
    done

    # Each manual page is compressed, has its section-1 title, and points to the other program's.
    local pages=(ripplescope:ripplescope-render)
    [ "$with_render" = --with-render ] && pages+=(ripplescope-render:ripplescope)
    local pair page other text
    for pair in "${pages[@]}"; do
        page=${pair%%:*}
        other=${pair#*:}
        text=$(gzip -dc "$usr/share/man/man1/$page.1.gz" 2> /dev/null) || fail "the manual page $page(1) is not gzip-compressed"
        grep -q "^\.TH ${page^^} 1 " <<< "$text" || fail "$page(1) has no .TH line for section 1"
        sed -n '/^\.SH SEE ALSO/,/^\.SH/p' <<< "$text" | grep -q "^\.BR $other (1)" || fail "$page(1) does not refer to $other(1)"
    done

    if [ "$with_render" = --with-render ]; then

        # The installed exporter runs on its own, away from the build tree, and writes a whole
        # 601 x 601 PNG frame of the example scene.
        local frame=$stage/frame.png
        if "$usr/bin/ripplescope-render" --time 12 "$source/docs/two-sources.rsd" "$frame"; then
            [ "$(od -An -tx1 -N8 "$frame" | tr -d ' ')" = 89504e470d0a1a0a ] || fail "the exported frame is not a PNG"
            [ "$(od -An -tx1 -j16 -N8 "$frame" | tr -d ' ')" = 0000025900000259 ] || fail "the exported frame is not 601 x 601"
        else
            fail "the installed ripplescope-render could not export a frame"
        fi
        # The headless exporter needs no Qt at all, so it loads in little memory: neither it nor a
        # library it loads is any part of Qt.
        if ldd "$usr/bin/ripplescope-render" | grep -q 'libQt6'; then
            fail "ripplescope-render loads a Qt library"
        fi
    fi
}

desktop_entry() {
    command -v desktop-file-validate > /dev/null || skip desktop-file-validate
    # The validator prints hints while still accepting the entry; any output counts as a failure.
    local out
    out=$(desktop-file-validate "$launcher" 2>&1) || fail "desktop-file-validate rejects the entry"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
    # What a file manager reads to open a scene on a double-click.
    update-desktop-database "$usr/share/applications" || fail "update-desktop-database rejects the entry"
    grep -qx "application/x-ripplescope-scene=$(basename "$launcher");" "$usr/share/applications/mimeinfo.cache" ||
        fail "the desktop database does not open scene files with $(basename "$launcher")"
}

# The software-centre entry: valid, and pointing at the installed launcher, programs and scene type.
metainfo() {
    command -v appstreamcli > /dev/null || skip appstreamcli
    command -v xmllint > /dev/null || skip xmllint
    local out
    out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli rejects the entry: $out"
    grep -q 'pedantic\|info\|warning\|error' <<< "$out" && fail "appstreamcli reports: $out"
    xpath() { xmllint --xpath "$1" "$metainfo" 2> /dev/null; }
    [ "$(xpath 'string(/component/id)')" = "$app_id" ] || fail "the entry's id is not its file name $app_id"
    [ "$(xpath 'string(/component/launchable[@type="desktop-id"])')" = "$(basename "$launcher")" ] ||
        fail "the entry does not launch the installed $(basename "$launcher")"
    local binary
    for binary in $(xpath '/component/provides/binary/text()'); do
        [ -x "$usr/bin/$binary" ] || fail "the entry provides $binary, which is not installed"
    done
    [ "$(xpath 'count(/component/provides/binary)')" = "$(find "$usr/bin" -type f | wc -l)" ] ||
        fail "the entry does not provide every installed program"
    [ "$(xpath 'string(/component/provides/mediatype)')" = application/x-ripplescope-scene ] ||
        fail "the entry does not provide the scene-file type"
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
metainfo) metainfo ;;
mime-type) mime_type ;;
*)
    echo "unknown check $check" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ]
