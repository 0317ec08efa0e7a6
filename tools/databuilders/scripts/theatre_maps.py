#!/usr/bin/env python3
"""Turns GMT's dumps of the GSHHG shoreline and borders into "borderline.dat"
and its land mask into "landmask.rle". Used by make_theatre_maps.sh.

borderline.dat holds exactly 14746 lines: "#" lines separate polylines, every
other line is "longitude<TAB>latitude". GMT cuts the shoreline at the edges of
its data bins; the pieces are joined back into polylines, then simplified
(Douglas-Peucker) with the smallest tolerance that fits the line budget.
"""
import math
import struct
import sys

LINES = 14746
GRID_ROWS, GRID_COLUMNS = 1204, 3311
COS_LAT = math.cos(math.radians(44.0))  # km per degree of longitude vs latitude here


def read_segments(path):
    segments, current = [], None
    with open(path) as f:
        for line in f:
            if line.startswith('>'):
                current = []
                segments.append(current)
            elif line.strip():
                lon, lat = (float(v) for v in line.split()[:2])
                if current is None:
                    current = []
                    segments.append(current)
                current.append((lon, lat))
    return [s for s in segments if len(s) >= 2]


def key(point):
    return (round(point[0], 7), round(point[1], 7))


def join(segments):
    """Chains pieces whose ends meet into longer polylines."""
    pieces = [list(s) for s in segments]
    alive = [True] * len(pieces)
    starts, ends = {}, {}
    for i, p in enumerate(pieces):
        starts.setdefault(key(p[0]), []).append(i)
        ends.setdefault(key(p[-1]), []).append(i)

    def take(table, k, not_index):
        for j in table.get(k, []):
            if alive[j] and j != not_index:
                return j
        return None

    result = []
    for i in range(len(pieces)):
        if not alive[i]:
            continue
        alive[i] = False
        line = pieces[i]
        while key(line[0]) != key(line[-1]):  # grow forward
            j = take(starts, key(line[-1]), i)
            if j is not None:
                alive[j] = False
                line = line + pieces[j][1:]
                continue
            j = take(ends, key(line[-1]), i)
            if j is not None:
                alive[j] = False
                line = line + list(reversed(pieces[j]))[1:]
                continue
            break
        while key(line[0]) != key(line[-1]):  # grow backward
            j = take(ends, key(line[0]), i)
            if j is not None:
                alive[j] = False
                line = pieces[j][:-1] + line
                continue
            j = take(starts, key(line[0]), i)
            if j is not None:
                alive[j] = False
                line = list(reversed(pieces[j]))[:-1] + line
                continue
            break
        result.append(line)
    return result


def simplify(points, tolerance):
    """Douglas-Peucker on a local plane (longitude scaled to latitude km)."""
    if len(points) < 3:
        return list(points)
    keep = [False] * len(points)
    keep[0] = keep[-1] = True
    stack = [(0, len(points) - 1)]
    while stack:
        first, last = stack.pop()
        ax, ay = points[first][0] * COS_LAT, points[first][1]
        bx, by = points[last][0] * COS_LAT, points[last][1]
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy
        worst, worst_index = -1.0, -1
        for k in range(first + 1, last):
            px, py = points[k][0] * COS_LAT, points[k][1]
            if length2 == 0.0:
                d = math.hypot(px - ax, py - ay)
            else:
                t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
                d = math.hypot(px - ax - t * dx, py - ay - t * dy)
            if d > worst:
                worst, worst_index = d, k
        if worst > tolerance:
            keep[worst_index] = True
            stack.append((first, worst_index))
            stack.append((worst_index, last))
    return [p for p, k in zip(points, keep) if k]


def simplify_closed(points, tolerance):
    # A closed ring has no natural split point for Douglas-Peucker: split it
    # at its point farthest from the start.
    if len(points) < 4 or key(points[0]) != key(points[-1]):
        return simplify(points, tolerance)
    far = max(range(len(points)), key=lambda k: (points[k][0] - points[0][0]) ** 2 + (points[k][1] - points[0][1]) ** 2)
    return simplify(points[:far + 1], tolerance)[:-1] + simplify(points[far:], tolerance)


def fit(lines, budget):
    def render(tolerance):
        out = []
        for line in lines:
            s = simplify_closed(line, tolerance)
            if len(s) >= 2 and not (len(s) <= 3 and key(s[0]) == key(s[-1])):
                out.append(s)
        return out

    def cost(polylines):
        return sum(len(p) + 1 for p in polylines)

    full = render(0.0)
    if cost(full) <= budget:
        return full, 0.0
    low, high = 0.0, 0.05
    while cost(render(high)) > budget:
        high *= 2
    for _ in range(40):
        mid = (low + high) / 2
        if cost(render(mid)) > budget:
            low = mid
        else:
            high = mid
    return render(high), high


def write_borderline(shore, border, path):
    lines = join(shore) + join(border)
    budget = LINES - 1  # the first line names the file
    polylines, tolerance = fit(lines, budget)
    out = ['# Vantor theatre: GSHHG full-resolution shoreline and national borders, 33-44E 42-46N']
    for polyline in polylines:
        out.append('#')
        out.extend('%.6f\t%.6f' % (lon, lat) for lon, lat in polyline)
    out.extend(['#'] * (LINES - len(out)))
    assert len(out) == LINES
    with open(path, 'w', newline='\n') as f:
        f.write('\n'.join(out) + '\n')
    points = sum(len(p) for p in polylines)
    print('borderline.dat: %d polylines, %d points, tolerance %.1f m' % (len(polylines), points, tolerance * 111195))


def write_landmask(mask_path, path):
    data = open(mask_path, 'rb').read()
    assert len(data) == GRID_ROWS * GRID_COLUMNS, 'unexpected mask size %d' % len(data)
    out = bytearray(b'VLM1' + struct.pack('<HH', GRID_COLUMNS, GRID_ROWS))
    land_cells = 0
    for row in range(GRID_ROWS):
        cells = data[row * GRID_COLUMNS:(row + 1) * GRID_COLUMNS]
        runs, current, length = [], 0, 0
        for value in cells:
            value = 1 if value else 0
            land_cells += value
            if value != current:
                runs.append(length)
                current, length = value, 0
            length += 1
        runs.append(length)
        out += struct.pack('<H', len(runs)) + struct.pack('<%dH' % len(runs), *runs)
    with open(path, 'wb') as f:
        f.write(out)
    print('landmask.rle: %d bytes, %.1f%% land' % (len(out), 100.0 * land_cells / len(data)))


def main():
    shore_path, border_path, mask_path, out_dir = sys.argv[1:5]
    write_borderline(read_segments(shore_path), read_segments(border_path), out_dir + '/borderline.dat')
    write_landmask(mask_path, out_dir + '/landmask.rle')


if __name__ == '__main__':
    main()
