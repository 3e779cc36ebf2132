# Sourced by scripts/package.sh once per environment, with $build, $win (its
# build: win64 or win32) and $pkg (its folder): the sample driver packages' data
# files, stand-in renderers and language modules (common, model and OEM, in every
# language built).
res="$build/$win/resources"
cp "$res"/mrl32???.dll "$pkg/"
while read -r prefix oem _; do
  case "$prefix" in ''|'#'*) continue ;; esac
  cp "$build/native/package/$prefix.ddt" "$pkg/"
  cp "$build/$win/package/${prefix}32k.dll" "$pkg/"
  cp "$res/${prefix}"32???.dll "$res/${oem}"32???.dll "$pkg/"
  # The licence agreement in each language, as the about page reads it (ANSI).
  for lic in package/licence/*.lic; do
    lang=$(basename "$lic" .lic)
    iconv -f UTF-8 -t WINDOWS-1252 "$lic" > "$pkg/${oem}xx${lang}.lic"
  done
done < package/packages.txt
cp package/packages.txt "$pkg/"
cp "$build/$win/package/htui.dll" "$pkg/"
# Predefined stocks per OEM, installed into the printer's data at set-up.
for sfm in "$build"/native/package/*xxeng.sfm; do
  if [ -f "$sfm" ]; then cp "$sfm" "$pkg/"; fi
done
