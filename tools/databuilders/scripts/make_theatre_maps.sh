#!/usr/bin/env bash
# Regenerates the theatre's shoreline and border file "borderline.dat" and the
# land mask "landmask.rle" (from which the terrain generator builds
# "elevation.dat") from the GSHHG shoreline data that Debian packages with
# GMT (packages gmt and gmt-gshhg-full). Building Vantor does not need GMT:
# the generated files are committed in data/.
#
#   tools/databuilders/scripts/make_theatre_maps.sh [output folder, default data/]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "${1:-$here/../../../data}"
out=$(readlink -f "${1:-$here/../../../data}")
command -v gmt >/dev/null || { echo "make_theatre_maps: needs gmt (apt-get install gmt gmt-gshhg-full)" >&2; exit 1; }
command -v python3 >/dev/null || { echo "make_theatre_maps: needs python3" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"  # GMT leaves its history file in the working folder

region=33/44/42/46
echo "== shoreline (full resolution) and national borders of $region"
# Features under 1 km2 would only spend the file's line budget on specks.
gmt coast -R$region -Df -A1 -W -M > "$work/shore.txt"
gmt coast -R$region -Df -N1 -M > "$work/border.txt"

echo "== land mask on the elevation grid (1204 rows x 3311 columns, pixel registered)"
# The grid's samples are 1/301.659... degree; its east and north edges follow.
read -r east north < <(python3 -c 'n=301.65912518853696; print(repr(33+3311/n), repr(42+1204/n))')
# Lakes count as land: their surface is not at sea level.
gmt grdlandmask -R33/$east/42/$north -I3311+n/1204+n -r -Df -N0/1/1/1/1 -G"$work/mask.nc=nb"
gmt grd2xyz "$work/mask.nc" -ZTLc > "$work/mask.bin"

python3 "$here/theatre_maps.py" "$work/shore.txt" "$work/border.txt" "$work/mask.bin" "$out"
