# Sourced by scripts/package.sh with $build and $pkg: the sample driver
# packages' data files, stand-in renderers and OEM modules.
while read -r prefix oem _; do
  case "$prefix" in ''|'#'*) continue ;; esac
  cp "$build/native/package/$prefix.ddt" "$pkg/"
  cp "$build/win64/package/${prefix}32k.dll" "$pkg/"
  cp "$build/win64/package/${oem}32eng.dll" "$pkg/"
done < package/packages.txt
cp package/packages.txt "$pkg/"
# Predefined stocks per OEM, installed into the printer's data at set-up.
for sfm in "$build"/native/package/*xxeng.sfm; do
  if [ -f "$sfm" ]; then cp "$sfm" "$pkg/"; fi
done
