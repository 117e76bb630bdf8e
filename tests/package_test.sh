#!/usr/bin/env bash
# Builds the Debian package from this build tree, unpacks it into a scratch root, and
# checks what a user installing it gets: the files where the desktop looks for them and
# valid, dependencies that name Qt and the font, and a telmar-calc that runs from there
# and finds its report template in the installed data folder and its drawing module in the
# installed library folder.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null) || fail "cpack"
deb=$(ls "$scratch"/package/telmar_*.deb)
dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root/usr

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6svg6 libc6 libstdc++6 fonts-liberation2 libopenblas0; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed"
done

for file in bin/telmar bin/telmar-calc share/telmar/отчёт/otchet.rtf \
    share/applications/org.telmar.Telmar.desktop share/metainfo/org.telmar.Telmar.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.telmar.Telmar.svg share/man/man1/telmar-calc.1 \
    share/mime/packages/org.telmar.Telmar.xml $(cd "$root" && ls lib/*/telmar/libtelmar-drawing.so lib/telmar/libtelmar-drawing.so 2>/dev/null); do
    [ -f "$root/$file" ] || fail "the package lacks $file"
done
desktop-file-validate "$root/share/applications/org.telmar.Telmar.desktop" || fail "desktop file"
grep -q '^MimeType=application/x-telmar-design;' "$root/share/applications/org.telmar.Telmar.desktop" ||
    fail "the desktop entry does not open design files"
grep -q 'glob pattern="\*.telmar"' "$root/share/mime/packages/org.telmar.Telmar.xml" || fail "MIME type"
if command -v xmllint >/dev/null; then xmllint --noout "$root/share/mime/packages/org.telmar.Telmar.xml" || fail "MIME XML"; fi
appstreamcli validate --no-net "$root/share/metainfo/org.telmar.Telmar.metainfo.xml" >/dev/null ||
    fail "metainfo"

"$root/bin/telmar-calc" --version | grep -q '^telmar-calc ' || fail "telmar-calc --version"
design='{"upperResistivity":60,"lowerResistivity":40,"verticalClimaticCoefficient":1.65,
"horizontalClimaticCoefficient":4,"upperLayerThickness":2,"stripDepth":0.7,"normativeResistance":4,
"angleWidth":50,"electrodeLength":3,"stripWidth":40,"electrodeSpacing":3,"stripUtilization":0.75,
"electrodeUtilization":0.81,"utilization":"tabulated"}'
sentence=$("$root/bin/telmar-calc" --text --report "$scratch/report.rtf" <<<"$design" | grep "^Принимаем")
[ "$sentence" = "Принимаем к установке  5 вертикальных заземлителей ." ] || fail "result: $sentence"
[ -s "$scratch/report.rtf" ] && ! grep -q '##' "$scratch/report.rtf" || fail "report from the installed template"
grep -q 'pngblip' "$scratch/report.rtf" || fail "the installed telmar-calc's report has no drawing"
echo "package $(basename "$deb") installs and runs"
