#!/usr/bin/env bash
# Builds the .deb from a build tree, unpacks it into a scratch root and checks what a user would get:
# the control fields, the installed files, valid desktop metadata, manual pages and changelog, what
# lintian says, and programs that start.
# usage: installed_package_test.sh BUILD_DIR VERSION CPACK [APPSTREAMCLI] [DESKTOP_FILE_VALIDATE] [LINTIAN]
set -euo pipefail

build_dir=$1 version=$2 cpack=$3 appstreamcli=${4:-} desktop_file_validate=${5:-} lintian=${6:-}
app_id=io.github.steelvane.BrevornBuilder

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
expect_eq() { # what got want
    [ "$2" = "$3" ] || fail "$1: got '$2', want '$3'"
}

if ! "$cpack" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
debs=("$scratch"/out/*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: want exactly one .deb, got: ${debs[*]}" >&2
    exit 1
fi
deb=${debs[0]}

# Control fields. Depends comes from dpkg-shlibdeps, so it must name the Qt and C runtime packages.
expect_eq Package "$(dpkg-deb -f "$deb" Package)" brevorn-builder
expect_eq Version "$(dpkg-deb -f "$deb" Version)" "$version"
expect_eq Section "$(dpkg-deb -f "$deb" Section)" utils
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libstdc++6 libqt6widgets6; do
    [[ ", $depends," == *", $package "* ]] || fail "Depends lacks $package: '$depends'"
done

# Exactly these files, so nothing from the build (libraries, headers, tests) slips in.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
metainfo=usr/share/metainfo/$app_id.metainfo.xml
desktop=usr/share/applications/$app_id.desktop
want_files=(
    usr/bin/brevorn-builder
    usr/bin/brevorn-roster
    "$desktop"
    "$metainfo"
    usr/share/doc/brevorn-builder/copyright
    usr/share/doc/brevorn-builder/changelog.gz
    usr/share/man/man1/brevorn-builder.1.gz
    usr/share/man/man1/brevorn-roster.1.gz
    usr/share/icons/hicolor/48x48/apps/$app_id.png
    usr/share/icons/hicolor/scalable/apps/$app_id.svg
)
expect_eq "files in the package" "$(cd "$root" && find . -type f -printf '%P\n' | sort)" \
    "$(printf '%s\n' "${want_files[@]}" | sort)"
case "$(file -b "$root/usr/share/icons/hicolor/48x48/apps/$app_id.png")" in
"PNG image data, 48 x 48,"*) ;;
*) fail "the 48x48 icon is not a 48x48 PNG" ;;
esac

# The desktop entry and the metainfo point at what the package installs.
exec_line=$(sed -n 's/^Exec=//p' "$root/$desktop")
expect_eq "desktop Exec" "$exec_line" brevorn-builder
expect_eq "desktop Icon" "$(sed -n 's/^Icon=//p' "$root/$desktop")" "$app_id"
expect_eq "metainfo launchable" "$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$root/$metainfo")" \
    "$app_id.desktop"
expect_eq "metainfo binaries" "$(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$root/$metainfo" | sort | paste -sd ' ')" \
    "brevorn-builder brevorn-roster"
expect_eq "latest release in the metainfo" \
    "$(sed -n 's:.*<release version="\([^"]*\)".*:\1:p' "$root/$metainfo" | head -n 1)" "$version"

# The validators print nothing for a clean file; anything they say is a finding.
if [ -n "$appstreamcli" ]; then
    "$appstreamcli" validate --no-net --no-color "$root/$metainfo" >"$scratch/appstream.log" 2>&1 ||
        fail "appstreamcli validate: $(cat "$scratch/appstream.log")"
else
    echo "appstreamcli not found: the metainfo was not validated"
fi
if [ -n "$desktop_file_validate" ]; then
    findings=$("$desktop_file_validate" "$root/$desktop" 2>&1) || fail "desktop-file-validate failed"
    [ -z "$findings" ] || fail "desktop-file-validate: $findings"
else
    echo "desktop-file-validate not found: the desktop entry was not validated"
fi

# Each manual page is for its program and this version, and man reads it without a warning.
for program in brevorn-builder brevorn-roster; do
    page=$root/usr/share/man/man1/$program.1.gz
    expect_eq "$program.1 title line" "$(zcat "$page" | head -n 1 | cut -d '"' -f 2)" \
        "Steelvane Brevorn Builder $version"
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man cannot read $program.1"
    [ -z "$warnings" ] || fail "man warns about $program.1: $warnings"
done
expect_eq "latest version in the changelog" \
    "$(zcat "$root/usr/share/doc/brevorn-builder/changelog.gz" | sed -n '1s/^brevorn-builder (\([^)]*\)).*/\1/p')" "$version"

# lintian finds no error and no warning. Its informational tags (hardening flags, a .comment
# section) are left to the build flags of the day.
if [ -n "$lintian" ]; then
    "$lintian" --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 ||
        fail "lintian: $(grep -v 'running with root privileges' "$scratch/lintian.log")"
else
    echo "lintian not found: the package was not checked by it"
fi

# The installed programs start from the scratch root.
roster_version=$("$root/usr/bin/brevorn-roster" --version 2>&1) || fail "brevorn-roster --version failed"
[[ $roster_version == *"$version"* ]] || fail "brevorn-roster --version: got '$roster_version', want $version in it"

# The editor has to be still running when timeout stops it (124); a crash or an early exit is a fault.
mkdir -m 700 "$scratch/runtime"
status=0
XDG_RUNTIME_DIR=$scratch/runtime QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/brevorn-builder" \
    >"$scratch/editor.log" 2>&1 || status=$?
expect_eq "editor exit status under timeout" "$status" 124
if grep -Eiq 'error|warning|critical|fatal|fail|cannot|could not|abort|sanitizer|segmentation' "$scratch/editor.log"; then
    fail "the editor printed: $(cat "$scratch/editor.log")"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb") checked"
