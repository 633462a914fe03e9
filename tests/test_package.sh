#!/usr/bin/env bash
# Builds the Debian packages the Debian way (scripts/package, into a scratch
# folder) and checks them as a distribution would: lintian finds nothing, not
# even at its pedantic and info levels; the AppStream metainfo and desktop
# entries validate and agree with the program and the changelog; every
# package named in Depends and Recommends exists in the Debian release this
# runs on (bookworm or trixie: /etc/os-release); the debug
# symbols are where the build ID points; no file has a RUNPATH and
# hardening-check passes; and each program starts from its extracted package.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# SHEETS_PACKAGES names a folder of packages that scripts/package has just
# built from this tree (.ci/run builds them once for this test and autopkgtest).
dist="${SHEETS_PACKAGES:-$scratch/dist}"
[ -n "${SHEETS_PACKAGES:-}" ] || "$root/scripts/package" "$dist" >/dev/null
changes="$(ls "$dist"/*.changes)"
version="$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)"
released="$(date -u -d "$(dpkg-parsechangelog -l "$root/debian/changelog" -S Date)" +%F)"

# Any tag at all fails: errors, warnings, and the info and pedantic tags, which
# are fixed rather than overridden (but for AppStream 1.0's missing homepage:
# debian/appstream-homepage.lintian-overrides).
lintian --pedantic --display-info "$changes" >"$scratch/lintian" 2>&1 || true
grep -v '^running with root privileges' "$scratch/lintian" >"$scratch/tags" || true
[ ! -s "$scratch/tags" ] || { cat "$scratch/tags" >&2; fail "lintian has something to say about $(basename "$changes")"; }

# Names of the packages a relationship field mentions, one per line.
names() { tr ',|' '\n\n' | sed -e 's/([^)]*)//g' -e 's/\[[^]]*\]//g' -e 's/:[a-z]*//' -e 's/ //g' | sed '/^$/d'; }
# The release's lists come with the machine's apt sources (apt-get update).
release="$(. /etc/os-release && echo "$VERSION_CODENAME")"
grep -q " $release/" <<<"$(apt-cache madison libc6)" || fail "apt knows no $release package: run apt-get update"
# The package of this release that holds Qt Core (libqt6core6 on bookworm,
# libqt6core6t64 on trixie), and the names it stands for.
qtcore="$(dpkg -S "$(readlink -f /usr/lib/"$(dpkg-architecture -qDEB_HOST_MULTIARCH)"/libQt6Core.so.6)" | cut -d: -f1)"
qtcore_names="$(echo "$qtcore"; dpkg-query -W -f='${Provides}' "$qtcore" | names)"
# A name is in the release when one of its packages has it, or provides it.
in_release() {
  grep -qE "\| .* $release(-[a-z]+)?/" <<<"$(apt-cache madison "$1")" ||
    grep -qE "\| .* $release(-[a-z]+)?/" <<<"$(apt-cache showpkg "$1" | sed -n '/^Reverse Provides:/,$p' |
                                               awk 'NF >= 2 { print $1 }' | xargs -r apt-cache madison)"
}

# trixie's hardening-check also asks for branch protection (BTI and PAC),
# which only AArch64 has: asked for there only.
hardening=(--nocfprotection)
if [ "$(dpkg --print-architecture)" != arm64 ] && hardening-check --help 2>&1 | grep -q -- --nobranchprotection; then
  hardening+=(--nobranchprotection)
fi

for program in tollsheet wagesheet; do
  id="invalid.sheets.$program"
  deb="$dist/${program}_${version}_amd64.deb"
  [ -f "$deb" ] || fail "no $(basename "$deb")"
  dpkg-deb -x "$deb" "$scratch/$program"
  tree="$scratch/$program"
  field() { dpkg-deb -f "$deb" "$1"; }

  depends="$(field Depends | names)"
  recommends="$(field Recommends | names)"
  for needed in libqt6widgets6 libqt6gui6 fonts-nanum qt6-translations-l10n; do
    grep -qx "${needed}\(t64\)\?" <<<"$depends" || fail "$program: Depends lacks $needed"
  done
  grep -qxF "$qtcore_names" <<<"$depends" || fail "$program: Depends names none of $(echo $qtcore_names)"
  for wanted in qt6-wayland fcitx5-hangul fcitx5-frontend-qt6 ibus-hangul; do
    grep -qx "$wanted" <<<"$recommends" || fail "$program: Recommends lacks $wanted"
  done
  # The platform plugins the programs use come with libqt6gui6; NanumGothicCoding
  # comes with fonts-nanum, whose -coding package is only a transition.
  for superfluous in qt6-qpa-plugins fonts-nanum-coding; do
    ! grep -qx "$superfluous" <<<"$depends"$'\n'"$recommends" || fail "$program names $superfluous"
  done
  for name in $depends $recommends; do
    in_release "$name" || fail "$program names $name, which $release does not have"
  done

  # The debug symbols: the -dbgsym package holds the file that the program's
  # build ID names.
  build_id="$(readelf -n "$tree/usr/bin/$program" | sed -n 's/.*Build ID: //p')"
  [ -n "$build_id" ] || fail "$program has no build ID"
  grep -q "/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug$" <<<"$(dpkg-deb -c "$dist/$program-dbgsym_${version}_amd64.deb")" ||
    fail "$program-dbgsym lacks the symbols of build ID $build_id"

  # Every ELF file: no RUNPATH, and every check of hardening-check passes but
  # control-flow protection, which is left out: bookworm's C start files
  # (Scrt1.o, crti.o) carry no IBT/SHSTK note, so no program linked on
  # bookworm has one, whatever it was compiled with. That the code is
  # compiled with -fcf-protection shows in the print module's entry point.
  for elf in "$tree/usr/bin/$program" "$tree"/usr/lib/*/"$program"/print.so; do
    ! readelf -d "$elf" | grep -q 'RPATH\|RUNPATH' || fail "${elf#"$tree"} has a RUNPATH"
    hardening-check "${hardening[@]}" "$elf" >"$scratch/hardening" ||
      { cat "$scratch/hardening" >&2; fail "${elf#"$tree"} lacks a hardening feature"; }
  done
  if [ "$(dpkg --print-architecture)" = amd64 ]; then
    module="$(echo "$tree"/usr/lib/*/"$program"/print.so)"
    start="$(objdump -T "$module" | awk '$NF == "sheetsPrintWithDialog" { print $1 }')"
    grep -q endbr64 <<<"$(objdump -d --start-address="0x$start" --stop-address="$((0x$start + 4))" "$module")" ||
      fail "$program's print module is not compiled with -fcf-protection"
  fi

  # The desktop entry, the icon and the metainfo carry the id that the
  # program gives Qt (a UTF-16 literal in the binary).
  entry="$tree/usr/share/applications/$id.desktop"
  desktop-file-validate "$entry" || fail "$id.desktop is not valid"
  grep -q "^Categories=Office;" "$entry" || fail "$program is not filed under Office"
  grep -q "^Exec=$program$" "$entry" || fail "$id.desktop does not start $program"
  grep -qP '^Name=[\x{AC00}-\x{D7A3} ]+$' "$entry" || fail "$program has no Korean name"
  grep -qP '^Comment=.*[\x{AC00}-\x{D7A3}]' "$entry" || fail "$program has no Korean comment"
  icon="$(sed -n 's/^Icon=//p' "$entry")"
  [ -s "$tree/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$program has no icon named $icon"
  # "인쇄..." loads the program's print module from <libdir>/<program>/.
  [ -n "$(find "$tree/usr/lib" -path "*/$program/print.so" -size +1k)" ] || fail "$program has no print module"
  grep -qx "$id" <<<"$(strings -e l "$tree/usr/bin/$program")" || fail "$program does not give Qt the desktop file name $id"

  # Validates the metainfo and finds its desktop entry in the same tree.
  # AppStream 1.0's missing homepage is taken as the information it is (see
  # the lintian override); 0.16 knows no such tag.
  overrides=()
  appstream="$(appstreamcli --version | sed -n 's/^AppStream version: //p')"
  dpkg --compare-versions "$appstream" lt 1.0 || overrides=(--override=url-homepage-missing=info)
  appstreamcli validate-tree --no-net --pedantic "${overrides[@]}" "$tree" >"$scratch/appstream" 2>&1 ||
    { cat "$scratch/appstream" >&2; fail "$program's AppStream metainfo is not valid"; }
  /usr/bin/python3 - "$tree/usr/share/metainfo/$id.metainfo.xml" "$id" "$version" "$released" <<'PY' || fail "$program's metainfo does not fit"
import re, sys
import xml.etree.ElementTree as ET
path, cid, version, released = sys.argv[1:]
lang = "{http://www.w3.org/XML/1998/namespace}lang"
c = ET.parse(path).getroot()
hangul = re.compile("[\uac00-\ud7a3]")
def texts(tag, language):
    return [e.text or "" for e in c.findall(tag) if e.get(lang) == language]
problems = []
if c.findtext("id") != cid: problems.append("id is not " + cid)
if c.findtext("launchable[@type='desktop-id']") != cid + ".desktop": problems.append("launchable is not " + cid + ".desktop")
for tag in ("name", "summary"):
    if not any(hangul.search(t) for t in texts(tag, None)): problems.append("no Korean " + tag)
    if not texts(tag, "en"): problems.append("no English " + tag)
release = c.find("releases/release")
if release is None or (release.get("version"), release.get("date")) != (version, released):
    problems.append(f"the newest release is not {version} of {released}, as in debian/changelog")
for p in problems: print(p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY

  for page in "man/man1/$program.1.gz" "man/ko/man1/$program.1.gz"; do
    [ -s "$tree/usr/share/$page" ] || fail "$program has no $page"
  done
  grep -qP '^\.SH [\x{AC00}-\x{D7A3} ]+$' <<<"$(zcat "$tree/usr/share/man/ko/man1/$program.1.gz")" || fail "$program's Korean manual page is not in Korean"

  # Started from the extracted package, the program must still be running,
  # showing its form, when it is stopped.
  status=0
  QT_QPA_PLATFORM=offscreen timeout 3 "$tree/usr/bin/$program" 2>"$scratch/$program.err" || status=$?
  [ "$status" -eq 124 ] || { cat "$scratch/$program.err" >&2; fail "$program from the package exited with $status"; }
done
echo "packages $(cd "$dist" && echo *.deb): lintian clean, metainfo, desktop entries, relationships, debug symbols, hardening and both programs are fine"
