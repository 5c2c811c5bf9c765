#!/usr/bin/python3
"""The page's app icons, drawn from the scene: the headless tool (built for node) solves the
terminals of icon_terminals.txt and writes its scene as SVG; its tree (the vertices' circles and
the edges between them, in the scene's colours, radii and line width) is laid on a black square of
ICON_PIXELS scene pixels, drawn at 192 and 512 device pixels, and once more smaller, inside the
circle a maskable icon's mask always keeps. rsvg-convert makes the PNGs.

    app_icons.py --tool build-web/tools/drevanti-solve.js --terminals icon_terminals.txt --out DIR
"""

import argparse
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

# The icon's side in the scene's pixels: a density of 3 at 192 device pixels and 8 at 512.
ICON_PIXELS = 64
# The tree's box: within a margin of its terminals' radius and more on an ordinary icon; within
# the maskable icon's safe circle (80 % of the side across) with its diagonal on a maskable one.
TREE_BOX = {"any": 48, "maskable": 36}
ICONS = [("icon-192.png", 192, "any"), ("icon-512.png", 512, "any"),
         ("icon-maskable-512.png", 512, "maskable")]
SVG = "{http://www.w3.org/2000/svg}"


def scene_tree(tool, terminals):
    """The circles and the edges between their centres of the tool's scene for the terminals."""
    with tempfile.TemporaryDirectory() as folder:
        picture = os.path.join(folder, "scene.svg")
        subprocess.run(["node", "--no-experimental-fetch", tool, "solve", "--seed", "1", "--svg",
                        picture, terminals], check=True, stdout=subprocess.DEVNULL)
        root = ElementTree.parse(picture).getroot()
    circles = [{k: e.get(k) for k in ("cx", "cy", "r", "stroke")} for e in root.iter(SVG + "circle")]
    centres = {(c["cx"], c["cy"]) for c in circles}
    # The scale bar's lines end nowhere near a vertex.
    lines = [{k: e.get(k) for k in ("x1", "y1", "x2", "y2", "stroke")}
             for e in root.iter(SVG + "line")
             if (e.get("x1"), e.get("y1")) in centres and (e.get("x2"), e.get("y2")) in centres]
    if len(circles) < 3 or len(lines) != len(circles) - 1:
        sys.exit(f"app_icons.py: the scene holds no tree ({len(circles)} circles, "
                 f"{len(lines)} edges)")
    return circles, lines


def icon_svg(circles, lines, size, box):
    xs = [float(c["cx"]) for c in circles]
    ys = [float(c["cy"]) for c in circles]
    scale = box / max(max(xs) - min(xs), max(ys) - min(ys))
    left = (ICON_PIXELS - (max(xs) - min(xs)) * scale) / 2
    top = (ICON_PIXELS - (max(ys) - min(ys)) * scale) / 2

    def at(x, y):
        return left + (float(x) - min(xs)) * scale, top + (float(y) - min(ys)) * scale

    body = []
    for c in circles:
        x, y = at(c["cx"], c["cy"])
        body.append(f'<circle cx="{x:.3f}" cy="{y:.3f}" r="{c["r"]}" stroke="{c["stroke"]}"/>')
    for e in lines:
        (x1, y1), (x2, y2) = at(e["x1"], e["y1"]), at(e["x2"], e["y2"])
        body.append(f'<line x1="{x1:.3f}" y1="{y1:.3f}" x2="{x2:.3f}" y2="{y2:.3f}" '
                    f'stroke="{e["stroke"]}"/>')
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 {ICON_PIXELS} {ICON_PIXELS}" fill="none" stroke-width="1" '
            f'stroke-linecap="square">\n<rect width="100%" height="100%" fill="#000000"/>\n' +
            "\n".join(body) + "\n</svg>\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tool", required=True)
    parser.add_argument("--terminals", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    circles, lines = scene_tree(args.tool, args.terminals)
    with tempfile.TemporaryDirectory() as folder:
        for name, size, purpose in ICONS:
            picture = os.path.join(folder, name + ".svg")
            with open(picture, "w") as out:
                out.write(icon_svg(circles, lines, size, TREE_BOX[purpose]))
            subprocess.run(["rsvg-convert", "--format", "png", "--output",
                            os.path.join(args.out, name), picture], check=True)


if __name__ == "__main__":
    main()
