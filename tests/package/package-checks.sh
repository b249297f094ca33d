#!/bin/sh
# SPDX-License-Identifier: MIT
# Checks of what the game installs and of its Debian package, each run as: package-checks.sh CHECK ARGS.
#   metainfo FILE, desktop FILE: the AppStream and desktop-entry validators find nothing to report;
#   manpage PAGE PROGRAM: the page renders without a warning and names every option of --help;
#   news NEWS VERSION DATE: the newest entry is this version's;
#   build DIR VERSION CONFIG: cpack makes DIR/marrowgate_VERSION_ARCH.deb, twice with the same bytes;
#   contents DIR VERSION HOMEPAGE: its control fields and its files;
#   lintian DIR VERSION: lintian finds no error and no missing hardening (skipped without lintian).
set -eu
check="$1"
shift
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

package_file() {
    echo "$1/marrowgate_$2_$(dpkg --print-architecture).deb"
}

metainfo_check() {
    appstreamcli validate --no-net --explain "$1" || fail "appstreamcli found problems"
}

desktop_check() {
    desktop-file-validate "$1" > "$work/out" 2>&1 || true
    [ ! -s "$work/out" ] || fail "desktop-file-validate: $(cat "$work/out")"
}

manpage_check() {
    page="$1"
    program="$2"
    LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$page" 2> "$work/warnings"
    LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" \
        > /dev/null 2>> "$work/warnings"
    [ ! -s "$work/warnings" ] || fail "the manual page has warnings: $(cat "$work/warnings")"
    LC_ALL=C groff -man -Tascii -P-cbou "$page" > "$work/text"
    HOME="$work" XDG_CONFIG_HOME="$work" "$program" --help > "$work/help"
    options=$(sed -n 's/^\(--[a-z]*\)[^|:]*\(| \(-[a-z]*\)\)\{0,1\}.*:.*/\1 \3/p' "$work/help")
    [ -n "$options" ] || fail "no options found in the usage text: $(cat "$work/help")"
    for option in $options; do
        grep -Eq -- "(^|[][ ,])$option([][ ,.]|$)" "$work/text" || fail "the manual page lacks $option"
    done
}

news_check() {
    expected="Marrowgate $2 ($3)"
    [ "$(head -n 1 "$1")" = "$expected" ] || fail "NEWS should begin with \"$expected\""
}

build_check() {
    for round in first second; do
        rm -rf "$1"
        env -u SOURCE_DATE_EPOCH cpack --config "$3" -G DEB -B "$1" > "$work/out" 2>&1 || fail "cpack: $(cat "$work/out")"
        [ -f "$(package_file "$1" "$2")" ] || fail "no $(package_file "$1" "$2"): $(cat "$work/out")"
        cp "$(package_file "$1" "$2")" "$work/$round.deb"
        # A second apart at least, so that a time of building would show.
        [ $round = second ] || sleep 1
    done
    cmp "$work/first.deb" "$work/second.deb" || fail "two packages of one build differ"
}

contents_check() {
    deb="$(package_file "$1" "$2")"
    dpkg-deb -I "$deb" > "$work/info"
    for field in "Package: marrowgate" "Version: $2" "Architecture: $(dpkg --print-architecture)" \
        "Section: games" "Homepage: $3"; do
        grep -qx " $field" "$work/info" || fail "no \"$field\" in: $(cat "$work/info")"
    done
    grep -Eq '^ Maintainer: .+ <.+@.+>$' "$work/info" || fail "no maintainer with an address"
    grep -Eq '^ Description: .{10,}' "$work/info" || fail "no description"
    for library in libsdl1.2debian libsdl-image1.2 libportaudio2 libvorbisfile3 libglew libc6; do
        grep -Eq "^ Depends: (.*, )?$library" "$work/info" || fail "Depends lacks $library: $(cat "$work/info")"
    done
    # PortAudio brings its sound back ends; the game does not link them itself.
    ! grep -Eq '^ Depends: .*(libjack|libasound)' "$work/info" || fail "Depends has JACK or ALSA: $(cat "$work/info")"

    dpkg-deb -c "$deb" | awk '{ print $NF }' > "$work/files"
    app=io.github.marrowgate.Marrowgate
    doc=./usr/share/doc/marrowgate
    for file in ./usr/games/marrowgate ./usr/share/applications/$app.desktop \
        ./usr/share/metainfo/$app.metainfo.xml ./usr/share/man/man6/marrowgate.6.gz \
        $doc/README.md $doc/NEWS $doc/LICENSE $doc/copyright $doc/changelog.gz; do
        grep -qx "$file" "$work/files" || fail "the package lacks $file"
    done
    for sound in click forage garrison music; do
        grep -qx "./usr/share/marrowgate/sounds/$sound.ogg" "$work/files" || fail "the package lacks $sound.ogg"
    done
    for size in 16 24 32 48 64 128 256; do
        grep -qx "./usr/share/icons/hicolor/${size}x${size}/apps/$app.png" "$work/files" ||
            fail "the package lacks the ${size}x${size} icon"
    done
    grep -v -e '^\./usr/' -e '^\./$' "$work/files" > "$work/outside" || true
    [ ! -s "$work/outside" ] || fail "files outside /usr: $(cat "$work/outside")"
}

lintian_check() {
    if ! command -v lintian > /dev/null; then
        echo "lintian is not installed"
        exit 77
    fi
    deb="$(package_file "$1" "$2")"
    lintian --display-info --fail-on error "$deb" > "$work/out" || fail "lintian: $(cat "$work/out")"
    # Lintian counts only the fortified calls of functions such as fread and readlink; the game's few
    # are proved safe when compiling, so it looks for the fortified memcpy and memset instead.
    dpkg-deb -x "$deb" "$work/root"
    nm -D "$work/root/usr/games/marrowgate" | grep -q -e ' __memcpy_chk@' -e ' __memset_chk@' ||
        fail "the program is not fortified"
    ! grep hardening- "$work/out" | grep -v hardening-no-fortify-functions || fail "the program lacks hardening"
}

"${check}_check" "$@"
echo "ok: $check"
