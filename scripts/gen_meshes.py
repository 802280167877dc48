#!/usr/bin/env python3
"""Writes the engine's basic meshes as OGRE mesh XML (OgreXMLConverter input).

    python3 scripts/gen_meshes.py [output folder]   (default: mediaDemo/Models)

ground.mesh.xml    20 x 20 m plane in XZ at y = 0, facing +Y, 10 x 10 cells
ball.mesh.xml      UV sphere of radius 1 (nodes scale it to a boule or the pig)
testcube.mesh.xml  1 x 1 x 1 cube centred on the origin, flat normals per face
triggerGeometryCube.mesh.xml    a trigger volume's debug display: the unit cube
triggerGeometrySphere.mesh.xml  the same for sphere triggers: diameter 1

The build converts them to binary .mesh; only the XML is kept in the tree.
"""
import math
import os
import sys


def fmt(v):
    text = "%.6f" % v
    text = text.rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def write_mesh(path, material, vertices, faces):
    """vertices: list of (position, normal, uv); faces: list of index triples."""
    out = ['<mesh>',
           '    <sharedgeometry vertexcount="%d">' % len(vertices),
           '        <vertexbuffer positions="true" normals="true" texture_coords="1" '
           'texture_coord_dimensions_0="2">']
    for (p, n, uv) in vertices:
        out.append('            <vertex>')
        out.append('                <position x="%s" y="%s" z="%s" />' % tuple(fmt(c) for c in p))
        out.append('                <normal x="%s" y="%s" z="%s" />' % tuple(fmt(c) for c in n))
        out.append('                <texcoord u="%s" v="%s" />' % tuple(fmt(c) for c in uv))
        out.append('            </vertex>')
    out += ['        </vertexbuffer>',
            '    </sharedgeometry>',
            '    <submeshes>',
            '        <submesh material="%s" usesharedvertices="true" use32bitindexes="%s" '
            'operationtype="triangle_list">' % (material, "true" if len(vertices) > 65535 else "false"),
            '            <faces count="%d">' % len(faces)]
    for f in faces:
        out.append('                <face v1="%d" v2="%d" v3="%d" />' % f)
    out += ['            </faces>',
            '        </submesh>',
            '    </submeshes>',
            '</mesh>', '']
    with open(path, "w", newline="\n") as handle:
        handle.write("\n".join(out))


def ground(size=20.0, cells=10, uv_repeat=10.0):
    vertices, faces = [], []
    half = size / 2.0
    for j in range(cells + 1):
        for i in range(cells + 1):
            x = -half + size * i / cells
            z = -half + size * j / cells
            vertices.append(((x, 0.0, z), (0.0, 1.0, 0.0),
                             (uv_repeat * i / cells, uv_repeat * j / cells)))
    row = cells + 1
    for j in range(cells):
        for i in range(cells):
            a = j * row + i
            b, c, d = a + 1, a + row, a + row + 1
            # Counter-clockwise seen from +Y.
            faces.append((a, c, b))
            faces.append((b, c, d))
    return vertices, faces


def sphere(radius=1.0, rings=16, segments=24):
    vertices, faces = [], []
    for r in range(rings + 1):
        phi = math.pi * r / rings              # 0 at the top pole
        y, ring = math.cos(phi), math.sin(phi)
        for s in range(segments + 1):          # seam vertex repeated for the UVs
            theta = 2.0 * math.pi * s / segments
            n = (ring * math.sin(theta), y, ring * math.cos(theta))
            vertices.append((tuple(radius * c for c in n), n, (s / segments, r / rings)))
    row = segments + 1
    for r in range(rings):
        for s in range(segments):
            a = r * row + s
            b, c, d = a + 1, a + row, a + row + 1
            if r != 0:
                faces.append((a, c, b))
            if r != rings - 1:
                faces.append((b, c, d))
    return vertices, faces


def cube(size=1.0):
    h = size / 2.0
    vertices, faces = [], []
    # (normal, u axis, v axis): u x v = normal so the quads face outwards.
    sides = [((1, 0, 0), (0, 0, -1), (0, 1, 0)), ((-1, 0, 0), (0, 0, 1), (0, 1, 0)),
             ((0, 1, 0), (1, 0, 0), (0, 0, -1)), ((0, -1, 0), (1, 0, 0), (0, 0, 1)),
             ((0, 0, 1), (1, 0, 0), (0, 1, 0)), ((0, 0, -1), (-1, 0, 0), (0, 1, 0))]
    for n, u, v in sides:
        base = len(vertices)
        for (su, sv) in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
            p = tuple(h * (n[k] + su * u[k] + sv * v[k]) for k in range(3))
            vertices.append((p, n, ((su + 1) / 2.0, (1 - sv) / 2.0)))
        faces.append((base, base + 1, base + 2))
        faces.append((base, base + 2, base + 3))
    return vertices, faces


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "mediaDemo", "Models")
    os.makedirs(folder, exist_ok=True)
    write_mesh(os.path.join(folder, "ground.mesh.xml"), "KEM/Ground", *ground())
    write_mesh(os.path.join(folder, "ball.mesh.xml"), "KEM/Ball", *sphere())
    write_mesh(os.path.join(folder, "testcube.mesh.xml"), "KEM/TestCube", *cube())
    # Trigger volumes are built from these meshes' bounds: keep them unit sized.
    write_mesh(os.path.join(folder, "triggerGeometryCube.mesh.xml"), "debugMaterial", *cube())
    write_mesh(os.path.join(folder, "triggerGeometrySphere.mesh.xml"), "debugMaterial",
               *sphere(radius=0.5, rings=8, segments=12))


if __name__ == "__main__":
    main()
