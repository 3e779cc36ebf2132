# Sourced by scripts/package.sh with $build and $pkg: the sample driver
# packages' data files, stand-in renderers and language modules (common,
# model and OEM, in every language built).
res="$build/win64/resources"
cp "$res"/mrl32???.dll "$pkg/"
while read -r prefix oem _; do
  case "$prefix" in ''|'#'*) continue ;; esac
  cp "$build/native/package/$prefix.ddt" "$pkg/"
  cp "$build/win64/package/${prefix}32k.dll" "$pkg/"
  cp "$res/${prefix}"32???.dll "$res/${oem}"32???.dll "$pkg/"
done < package/packages.txt
cp package/packages.txt "$pkg/"
cp "$build/win64/package/htui.dll" "$pkg/"
# Predefined stocks per OEM, installed into the printer's data at set-up.
for sfm in "$build"/native/package/*xxeng.sfm; do
  if [ -f "$sfm" ]; then cp "$sfm" "$pkg/"; fi
done
