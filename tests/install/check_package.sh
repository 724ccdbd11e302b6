#!/usr/bin/env bash
# Builds the Debian package from a build tree, installs it with dpkg, starts the
# installed program, checks that its files are where the desktop looks for them,
# and removes it again, leaving nothing behind. Needs root; CI runs as root.
#   check_package.sh <build dir> <scratch dir> <version> <metainfo id>
set -euo pipefail
build=$1 work=$2 version=$3 appid=$4

if ! command -v dpkg >/dev/null; then
    echo "SKIP: no dpkg on this system"
    exit 77
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing a package needs root"
    exit 77
fi
fail() { echo "FAIL: $*" >&2; exit 1; }
if dpkg-query -W -f='${Status}' vellumo 2>/dev/null | grep -q 'install ok installed'; then
    fail "vellumo is installed on this machine already; remove it (dpkg -r vellumo) to run this test"
fi

rm -rf "$work"
mkdir -p "$work"
# The tree is installed and stripped into the package as it stands; nothing is built.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not build the package"; }
arch=$(dpkg --print-architecture)
deb="$work/vellumo_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$work")"
echo "package built in ${SECONDS}s"

control=$(dpkg-deb --field "$deb")
for field in "Package: vellumo" "Version: $version" "Section: editors" "Depends: .*libqt6widgets6"; do
    grep -q "^$field" <<<"$control" || fail "the package's control has no '$field':\n$control"
done

# Every library the installed program and its plugins load is declared: those they link
# themselves (where ldd finds them; the libraries they bring declare their own) and
# Tidy, which Check Page opens itself.
declared=$(grep -E '^(Pre-Depends|Depends|Recommends):' <<<"$control" | cut -d: -f2- |
    tr ',|' '\n\n' | sed 's/([^)]*)//g; s/[[:space:]]//g; s/:any$//' | sort -u)
dpkg-deb -x "$deb" "$work/unpacked"
libraries=$(find "$work/unpacked" -type f | while read -r binary; do
    [ "$(head -c 4 "$binary" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    found=$(ldd "$binary")
    readelf -d "$binary" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' | while read -r name; do
        awk -v name="$name" '$1 == name && $3 ~ /^\// {print $3}' <<<"$found"
    done
done | sort -u)
# (Every reader below reads its input to the end: one that stopped early would end the
# writer with SIGPIPE, which pipefail makes a failure.)
tidy=$(ldconfig -p | awk '/libtidy\.so\.5deb1 / && !seen {print $NF; seen = 1}')
[ -n "$tidy" ] || fail "Tidy's library is not installed on this machine"
owner() { # the package that installed a library, whichever of /lib or /usr/lib it names
    local path candidate package
    path=$(readlink -f "$1")
    for candidate in "$path" "${path#/usr}" "/usr$path" "$1"; do
        package=$(dpkg -S "$candidate" 2>/dev/null | awk -F: '!/^diversion/ && !seen {print $1; seen = 1}')
        [ -z "$package" ] || { echo "$package"; return; }
    done
}
for library in $libraries $tidy; do
    package=$(owner "$library")
    [ -n "$package" ] || fail "no package owns $library"
    grep -qx "$package" <<<"$declared" ||
        fail "$library (package $package) is loaded but not declared:\n$control"
done
echo "every library loaded is declared ($(wc -w <<<"$libraries $tidy") libraries)"

removed=0
remove() {
    [ "$removed" -eq 1 ] || dpkg -r vellumo >/dev/null 2>&1 || true
}
trap remove EXIT
dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
echo "installed at ${SECONDS}s"

[ "$(command -v vellumo)" = /usr/bin/vellumo ] || fail "vellumo is not on the PATH as /usr/bin/vellumo"
got=$(cd "$work" && vellumo --version)
[ "$got" = "Vellumo $version" ] || fail "vellumo --version said '$got'"

for file in /usr/bin/vellumo \
    /usr/share/vellumo/Vellumo.bmp /usr/share/vellumo/Tips.dat /usr/share/vellumo/help/index.html \
    /usr/share/applications/vellumo.desktop "/usr/share/metainfo/$appid.metainfo.xml" \
    /usr/share/man/man1/vellumo.1.gz \
    /usr/share/doc/vellumo/copyright /usr/share/doc/vellumo/changelog.gz \
    /usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/vellumo.png; do
    [ -s "$file" ] || fail "not installed: $file"
done
grep -qx 'Exec=vellumo %F' /usr/share/applications/vellumo.desktop || fail "the menu entry does not pass the files"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate /usr/share/applications/vellumo.desktop
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "/usr/share/metainfo/$appid.metainfo.xml" >"$work/appstream.log" ||
        { cat "$work/appstream.log"; fail "the metainfo does not validate"; }
fi
grep -q "<release version=\"$version\"" "/usr/share/metainfo/$appid.metainfo.xml" ||
    fail "the metainfo has no release $version"

# Every option --help names is in the manual page, which is compressed.
manual=$(gzip -dc /usr/share/man/man1/vellumo.1.gz)
options=$(vellumo --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ -n "$options" ] || fail "vellumo --help names no options"
for option in $options; do
    grep -qF -- "\\-\\-${option#--}" <<<"$manual" || fail "the manual page lacks $option"
done

installed=$(dpkg-query -L vellumo)
dpkg -r vellumo >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r failed"; }
removed=1
echo "removed at ${SECONDS}s"
if dpkg-query -W -f='${Status}' vellumo 2>/dev/null | grep -qv 'not-installed'; then
    fail "dpkg still knows vellumo: $(dpkg-query -W -f='${Status}' vellumo)"
fi
while read -r path; do
    case "$path" in
    */vellumo* | */org.*) [ ! -e "$path" ] || fail "left behind: $path" ;;
    esac
done <<<"$installed"
echo "the package installs, starts, and goes again without a trace"
