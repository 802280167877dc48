#!/usr/bin/env python3
"""Writes the players' models, their animations, materials and head pictures.

    python3 scripts/gen_players.py <data folder> <models folder> <overlays folder>
                                   [--converter OgreXMLConverter] [--xml <xml folder>]

Models folder:
  man.skeleton.xml, woman.skeleton.xml   one skeleton per build; the right
      hand's child bone "joint_boulasse" holds the ball
  <BODY>_<SKIN>_<NN>.mesh.xml            one mesh per appearance the player
      table can name: bodies FG FP (woman) HJ HM HF HA (man), skins CN CS AS
      AF, model numbers 01 and 02; sub-meshes use the materials
      "<BODY>_<SKIN>_<NN>/mat_<part>" for skin, hair, eyes, clothes, pants
      and shoes
  trophy_cup.mesh.xml, medal.mesh.xml, pennant.mesh.xml   the award objects
  Players.material   the appearance materials, and the team clothes
      "<team display name>_<STRING_ID text>/man_Clothes" and "/woman_Clothes"
      for every team of Equipes_DB.csv and every language of Lang_DB.csv
Overlays folder:
  Heads.material, head_<BODY>_<SKIN>_<NN>.png   "HUD/Head_<BODY>_<SKIN>_<NN>",
      a drawn face per appearance for the player panel

With --converter the XML goes to --xml (default: the models folder) and is
converted into binary .mesh and .skeleton files in the models folder.
With --meshes-only only the meshes and skeletons are written (test media that
sits beside the staged materials must not define them twice).

Axes: metres, +Y up, the player faces -Z, its right hand is on +X.
Animations run at 24 frames a second: the throw animations "AN_TIR" and
"AN_POI" last THROW_FRAMES frames, the frame count the tuning file's
ANGLE_MAX_*_FRAME keys give, and the ball leaves the hand at RELEASE_FRAMES
(the tuning file's LACHER_*_FRAME keys). The output is deterministic.
"""
import math
import os
import struct
import subprocess
import sys
import zlib

FPS = 24.0
THROW_FRAMES = {"AN_TIR": 30, "AN_POI": 28}
RELEASE_FRAMES = {"AN_TIR": 22, "AN_POI": 20}

BODIES = ["FG", "FP", "HJ", "HM", "HF", "HA"]
WOMEN = ("FG", "FP")
SKINS = ["CN", "CS", "AS", "AF"]
MODELS = [1, 2]

# Regions whose display name differs from the table's name.
SECOND_REGION_NAMES = {"Ile de France": "Ile-de-France"}


# ---- small vector and quaternion helpers --------------------------------------------

def v_add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def v_scale(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def v_norm(a):
    n = math.sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2])
    return (0.0, 1.0, 0.0) if n < 1e-9 else (a[0] / n, a[1] / n, a[2] / n)


def q_axis(axis, degrees):
    h = math.radians(degrees) * 0.5
    s = math.sin(h)
    return (math.cos(h), axis[0] * s, axis[1] * s, axis[2] * s)


def q_mul(a, b):
    w1, x1, y1, z1 = a
    w2, x2, y2, z2 = b
    return (w1 * w2 - x1 * x2 - y1 * y2 - z1 * z2,
            w1 * x2 + x1 * w2 + y1 * z2 - z1 * y2,
            w1 * y2 - x1 * z2 + y1 * w2 + z1 * x2,
            w1 * z2 + x1 * y2 - y1 * x2 + z1 * w2)


def q_rotate(q, v):
    w, x, y, z = q
    p = q_mul(q_mul(q, (0.0, v[0], v[1], v[2])), (w, -x, -y, -z))
    return (p[1], p[2], p[3])


def q_euler(rx, ry, rz):
    """Yaw about Y, then pitch about X, then roll about Z, in the bone's frame."""
    return q_mul(q_mul(q_axis((0, 1, 0), ry), q_axis((1, 0, 0), rx)), q_axis((0, 0, 1), rz))


def q_angle_axis(q):
    w = max(-1.0, min(1.0, q[0]))
    angle = 2.0 * math.acos(w)
    s = math.sqrt(max(0.0, 1.0 - w * w))
    if s < 1e-6:
        return 0.0, (1.0, 0.0, 0.0)
    return angle, (q[1] / s, q[2] / s, q[3] / s)


# ---- skeleton -------------------------------------------------------------------------

def skeleton_bones(build):
    """(name, parent, position relative to the parent) in bind pose, parents first."""
    s = 0.93 if build == "woman" else 1.0
    shoulder = 0.185 if build == "woman" else 0.205
    hip = 0.105 if build == "woman" else 0.1
    bones = [
        ("root", None, (0.0, 0.0, 0.0)),
        ("pelvis", "root", (0.0, 0.98 * s, 0.0)),
        ("spine", "pelvis", (0.0, 0.10 * s, 0.0)),
        ("chest", "spine", (0.0, 0.22 * s, 0.0)),
        ("neck", "chest", (0.0, 0.20 * s, 0.0)),
        ("head", "neck", (0.0, 0.08 * s, 0.0)),
    ]
    for side, sign in (("R", 1.0), ("L", -1.0)):
        bones += [
            ("upperarm_" + side, "chest", (sign * shoulder * s, 0.15 * s, 0.0)),
            ("forearm_" + side, "upperarm_" + side, (0.0, -0.29 * s, 0.0)),
            ("hand_" + side, "forearm_" + side, (0.0, -0.26 * s, 0.0)),
            ("thigh_" + side, "pelvis", (sign * hip * s, -0.06 * s, 0.0)),
            ("shin_" + side, "thigh_" + side, (0.0, -0.42 * s, 0.0)),
            ("foot_" + side, "shin_" + side, (0.0, -0.42 * s, 0.0)),
        ]
    bones.append(("joint_boulasse", "hand_R", (0.0, -0.075 * s, -0.045 * s)))
    return bones


def bone_table(build):
    bones = skeleton_bones(build)
    return {name: (parent, pos) for name, parent, pos in bones}, [b[0] for b in bones]


def forward_kinematics(build, pose):
    """World position and orientation of every bone for a pose."""
    table, order = bone_table(build)
    world = {}
    for name in order:
        parent, rel = table[name]
        rot = q_euler(*pose.get(name, (0.0, 0.0, 0.0)))
        if name == "pelvis":
            rel = v_add(rel, pose.get("_offset", (0.0, 0.0, 0.0)))
        if parent is None:
            world[name] = (rel, rot)
        else:
            pp, pq = world[parent]
            world[name] = (v_add(pp, q_rotate(pq, rel)), q_mul(pq, rot))
    return world


# ---- poses --------------------------------------------------------------------------------
# A pose maps bone names to Euler angles in degrees (x pitch, y yaw, z roll) relative to the
# bind pose, in which the arms hang at the sides. Signs, for a bone hanging down: +x swings
# it forward; for the spine and neck, -x leans forward; +z lifts the right arm sideways and
# -z the left one; a shin bends the knee with -x.

def pose(**bones):
    out = {}
    for name, angles in bones.items():
        if name == "lift":
            out["_lift"] = angles
            continue
        out[name] = tuple(float(a) for a in angles) + (0.0,) * (3 - len(angles))
    return out


def merged(base, **changes):
    out = dict(base)
    out.update(pose(**changes))
    return out


def grounded(build, p):
    """Adds the pelvis offset that keeps the lower foot on the ground (plus any lift)."""
    p = dict(p)
    p["_offset"] = (0.0, 0.0, 0.0)
    world = forward_kinematics(build, p)
    rest = forward_kinematics(build, {})
    drop = min(world["foot_R"][0][1], world["foot_L"][0][1]) - rest["foot_R"][0][1]
    p["_offset"] = (0.0, -drop + p.get("_lift", 0.0), 0.0)
    return p


ARMS_RELAXED = dict(upperarm_R=(4, 0, 6), upperarm_L=(4, 0, -6), forearm_R=(12,), forearm_L=(12,))
HOLD_BALL = dict(upperarm_R=(18, 0, 6), forearm_R=(62, 0, 0), hand_R=(10, 0, 0))

STAND = pose(**ARMS_RELAXED)
STAND_HOLD = pose(**dict(ARMS_RELAXED, **HOLD_BALL))

# Pointing: a squat in the circle, the ball hanging in the right hand in front.
SQUAT_LEGS = dict(thigh_R=(95, 0, 4), shin_R=(-120,), foot_R=(25,),
                  thigh_L=(80, 0, -8), shin_L=(-115,), foot_L=(35,))
SQUAT = pose(spine=(-20,), chest=(-12,), neck=(20,), head=(8,),
             upperarm_R=(38, 0, 4), forearm_R=(8,), upperarm_L=(20, 0, -20), forearm_L=(50,),
             **SQUAT_LEGS)


def throw_shoot():
    """Shooting: a step, the arm swings back, then forward and up; the ball leaves the
    hand at RELEASE_FRAMES["AN_TIR"], the arm follows through."""
    back = merged(STAND_HOLD, upperarm_R=(-55, 0, 6), forearm_R=(10,), hand_R=(-10,),
                  spine=(-6,), chest=(-4,), thigh_R=(10,), shin_R=(-18,), thigh_L=(12,), shin_L=(-20,))
    top = merged(back, upperarm_R=(-75, 0, 8), forearm_R=(4,), upperarm_L=(30, 0, -14),
                 chest=(-8,), thigh_L=(24,), shin_L=(-16,))
    release = merged(STAND, upperarm_R=(80, 0, 2), forearm_R=(6,), hand_R=(10,), upperarm_L=(-12, 0, -14),
                     spine=(-6,), chest=(-6,), thigh_L=(22,), shin_L=(-8,), thigh_R=(-12,), shin_R=(-10,),
                     foot_R=(18,))
    follow = merged(release, upperarm_R=(118, 0, 0), forearm_R=(10,), hand_R=(20,), chest=(-10,),
                    upperarm_L=(-20, 0, -16))
    return [(0, STAND_HOLD), (6, back), (14, top), (RELEASE_FRAMES["AN_TIR"], release),
            (THROW_FRAMES["AN_TIR"], follow)]


def throw_point():
    """Pointing: from the squat the arm swings back and forward low, the ball leaves the
    hand at RELEASE_FRAMES["AN_POI"] about knee height."""
    back = merged(SQUAT, upperarm_R=(-40, 0, 4), forearm_R=(6,), hand_R=(-15,), chest=(-16,))
    top = merged(back, upperarm_R=(-58, 0, 4), forearm_R=(4,))
    release = merged(SQUAT, upperarm_R=(50, 0, 2), forearm_R=(4,), hand_R=(20,), spine=(-12,), chest=(2,), neck=(12,))
    follow = merged(release, upperarm_R=(92, 0, 0), forearm_R=(6,), hand_R=(28,), chest=(-4,))
    return [(0, SQUAT), (7, back), (13, top), (RELEASE_FRAMES["AN_POI"], release),
            (THROW_FRAMES["AN_POI"], follow)]


def loop(keys, seconds):
    """Evenly spaced key poses, back to the first at the end."""
    n = len(keys)
    return [(seconds * i / n * FPS, k) for i, k in enumerate(keys)] + [(seconds * FPS, keys[0])]


def breathe(base, seconds=2.5, **extra):
    """A looping stance: a slow breath and a small sway."""
    out = merged(base, chest=tuple(a + b for a, b in zip(base.get("chest", (0, 0, 0)), (-3, 0, 0))), **extra)
    return loop([base, out], seconds)


def applause(base, seconds, claps):
    open_ = merged(base, upperarm_R=(45, 0, 14), forearm_R=(70, 20, 0), upperarm_L=(45, 0, -14),
                   forearm_L=(70, -20, 0))
    shut = merged(base, upperarm_R=(42, 0, 6), forearm_R=(75, 45, 0), upperarm_L=(42, 0, -6),
                  forearm_L=(75, -45, 0))
    keys = [base]
    for _ in range(claps):
        keys += [open_, shut]
    keys.append(base)
    return once(keys, seconds)


def once(keys, seconds):
    """Key poses spread over a non-looping animation."""
    n = len(keys) - 1
    return [(seconds * FPS * i / n, k) for i, k in enumerate(keys)]


def animations():
    hands_hips = merged(STAND, upperarm_R=(-10, 0, 38), forearm_R=(95, 60, 0),
                        upperarm_L=(-10, 0, -38), forearm_L=(95, -60, 0))
    arms_crossed = merged(STAND, upperarm_R=(20, 0, 10), forearm_R=(95, 70, 0),
                          upperarm_L=(22, 0, -10), forearm_L=(90, -70, 0))
    behind_back = merged(STAND, upperarm_R=(-22, 0, 4), forearm_R=(40, -40, 0),
                         upperarm_L=(-22, 0, -4), forearm_L=(40, 40, 0))
    arms_up = merged(STAND, upperarm_R=(0, 0, 160), forearm_R=(10,), upperarm_L=(0, 0, -160), forearm_L=(10,))
    fist_up = merged(STAND, upperarm_R=(10, 0, 150), forearm_R=(40,), upperarm_L=(8, 0, -8))
    head_hands = merged(STAND, upperarm_R=(10, 0, 120), forearm_R=(130, -20, 0),
                        upperarm_L=(10, 0, -120), forearm_L=(130, 20, 0), head=(10,))
    look_l = merged(STAND, neck=(0, 25, 0), head=(0, 15, 0))
    look_r = merged(STAND, neck=(0, -25, 0), head=(0, -15, 0))
    wave_a = merged(STAND, upperarm_R=(10, 0, 140), forearm_R=(20, 0, 25))
    wave_b = merged(STAND, upperarm_R=(10, 0, 140), forearm_R=(20, 0, -25))
    bow = merged(STAND, spine=(-25,), chest=(-15,), neck=(-10,), upperarm_R=(20, 0, 4), upperarm_L=(20, 0, -4))
    shake_l = merged(STAND, neck=(8, 20, 0), head=(0, 15, 0))
    shake_r = merged(STAND, neck=(8, -20, 0), head=(0, -15, 0))
    slump = merged(STAND, spine=(-8,), chest=(-10,), neck=(-15,), upperarm_R=(-10, 0, 14),
                   upperarm_L=(-10, 0, -14))
    jump = dict(arms_up, lift=0.12)
    weight_r = merged(STAND, pelvis=(0, 0, 3), thigh_L=(8, 0, -3), shin_L=(-12,), spine=(0, 0, -2))
    weight_l = merged(STAND, pelvis=(0, 0, -3), thigh_R=(8, 0, 3), shin_R=(-12,), spine=(0, 0, 2))
    point_far = merged(STAND, upperarm_R=(90, -20, 0), forearm_R=(4,), neck=(0, -10, 0))
    inspect = merged(SQUAT, upperarm_R=(55, 0, 0), forearm_R=(60,), hand_R=(20,), neck=(-10,), head=(-10,))
    shrug = merged(STAND, upperarm_R=(10, 0, 20), forearm_R=(80, 0, 20), upperarm_L=(10, 0, -20),
                   forearm_L=(80, 0, -20), neck=(0, 0, 8))
    stretch = merged(STAND, upperarm_R=(170, 0, 8), upperarm_L=(170, 0, -8), chest=(6,))
    toss_low = merged(STAND_HOLD)
    toss_high = merged(STAND_HOLD, forearm_R=(95,), hand_R=(25,), neck=(-8,))

    return {
        "AN_TIR": throw_shoot(),
        "AN_POI": throw_point(),
        "AN_STD_TIR": breathe(STAND_HOLD),
        "AN_STD_POI": breathe(SQUAT, upperarm_R=(34, 0, 4)),
        "AN_STD_CRO": breathe(merged(SQUAT, upperarm_R=(70, 0, 2), forearm_R=(6,), hand_R=(20,), neck=(22,)), 3.0),
        "AP_STD_01": loop([STAND, weight_r, STAND, weight_l], 4.0),
        "AP_STD_02": breathe(hands_hips, 3.0),
        "AP_STD_03": loop([arms_crossed, merged(arms_crossed, neck=(0, 12, 0)), arms_crossed,
                           merged(arms_crossed, neck=(0, -12, 0))], 5.0),
        "AP_STD_04": breathe(behind_back, 3.0, neck=(-6,)),
        "AP_STD_05": loop([STAND, look_l, STAND, look_r], 5.0),
        "AP_SAL_01": once([STAND, wave_a, wave_b, wave_a, wave_b, wave_a, STAND], 2.4),
        "AP_SAL_02": once([STAND, bow, bow, STAND], 2.0),
        "AP_FIN_MA_01": loop([STAND, jump, arms_up], 1.2),
        "AP_FIN_MA_02": loop([STAND, fist_up, merged(fist_up, forearm_R=(90,)), fist_up], 1.6),
        "AP_FIN_MA_03": applause(STAND, 1.6, 3),
        "AP_POZ_01": breathe(STAND_HOLD),
        "AP_POZ_02": breathe(hands_hips),
        "AP_POZ_03": breathe(arms_crossed),
        "AP_POZ_04": breathe(inspect),
        "AP_POZ_05": breathe(point_far),
        "AP_POZ_06": loop([toss_low, toss_high], 1.2),
        "AP_POZ_07": breathe(behind_back),
        "AP_POZ_08": loop([shrug, STAND], 2.0),
        "AP_POZ_09": loop([STAND, stretch], 3.0),
        "SPEC_IDLE": loop([STAND, weight_r, STAND, weight_l], 5.0),
        "SPEC_APPLAUSE": applause(STAND, 2.0, 4),
        "SPEC_HIGH_POSITIVE": once([STAND, jump, arms_up, jump, arms_up, STAND], 2.0),
        "SPEC_MEDIUM_POSITIVE": once([STAND, fist_up, merged(fist_up, forearm_R=(90,)), fist_up, STAND], 1.6),
        "SPEC_LOW_POSITIVE": applause(STAND, 1.2, 2),
        "SPEC_HIGH_NEGATIVE": once([STAND, head_hands, head_hands, STAND], 2.0),
        "SPEC_MEDIUM_NEGATIVE": once([STAND, slump, shake_l, shake_r, slump, STAND], 2.0),
        "SPEC_LOW_NEGATIVE": once([STAND, shake_l, shake_r, shake_l, STAND], 1.6),
    }


# ---- XML writers ---------------------------------------------------------------------------

def f(x):
    return ("%.5f" % x).rstrip("0").rstrip(".") if abs(x) >= 5e-6 else "0"


def skeleton_xml(build):
    bones = skeleton_bones(build)
    ids = {name: i for i, (name, _, _) in enumerate(bones)}
    out = ["<skeleton>", "    <bones>"]
    for name, _, pos in bones:
        out.append('        <bone id="%d" name="%s">' % (ids[name], name))
        out.append('            <position x="%s" y="%s" z="%s" />' % tuple(f(c) for c in pos))
        out.append('            <rotation angle="0"><axis x="1" y="0" z="0" /></rotation>')
        out.append("        </bone>")
    out += ["    </bones>", "    <bonehierarchy>"]
    for name, parent, _ in bones:
        if parent:
            out.append('        <boneparent bone="%s" parent="%s" />' % (name, parent))
    out += ["    </bonehierarchy>", "    <animations>"]
    for anim, keys in animations().items():
        length = keys[-1][0] / FPS
        out.append('        <animation name="%s" length="%s">' % (anim, f(length)))
        out.append("            <tracks>")
        posed = [(frame / FPS, grounded(build, p)) for frame, p in keys]
        for name, _, _ in bones:
            out.append('                <track bone="%s">' % name)
            out.append("                    <keyframes>")
            for time, p in posed:
                angle, axis = q_angle_axis(q_euler(*p.get(name, (0.0, 0.0, 0.0))))
                move = p["_offset"] if name == "pelvis" else (0.0, 0.0, 0.0)
                out.append('                        <keyframe time="%s">' % f(time))
                out.append('                            <translate x="%s" y="%s" z="%s" />' % tuple(f(c) for c in move))
                out.append('                            <rotate angle="%s"><axis x="%s" y="%s" z="%s" /></rotate>'
                           % (f(angle), f(axis[0]), f(axis[1]), f(axis[2])))
                out.append("                        </keyframe>")
            out.append("                    </keyframes>")
            out.append("                </track>")
        out.append("            </tracks>")
        out.append("        </animation>")
    out += ["    </animations>", "</skeleton>", ""]
    return "\n".join(out)


class Part:
    """One sub-mesh being built: vertices with normals and bone weights, triangles."""

    def __init__(self):
        self.vertices = []   # (position, normal, [(bone, weight)])
        self.faces = []

    def vertex(self, position, normal, weights):
        self.vertices.append((position, v_norm(normal), weights))
        return len(self.vertices) - 1

    def tube(self, centre, rings, sides=8, cap_top=True, cap_bottom=True):
        """A tube along Y; rings = [(y, rx, rz, weights)] from bottom to top. The
        caps are slightly domed so that joints bent apart stay closed."""
        cx, cz = centre
        first = len(self.vertices)
        for y, rx, rz, weights in rings:
            for k in range(sides):
                a = 2.0 * math.pi * k / sides
                c, s = math.cos(a), math.sin(a)
                self.vertex((cx + rx * c, y, cz + rz * s), (c / max(rx, 1e-3), 0.0, s / max(rz, 1e-3)), weights)
        for r in range(len(rings) - 1):
            for k in range(sides):
                a = first + r * sides + k
                b = first + r * sides + (k + 1) % sides
                c = a + sides
                d = b + sides
                self.faces += [(a, c, b), (b, c, d)]
        if cap_bottom:
            y, rx, rz, weights = rings[0]
            tip = self.vertex((cx, y - 0.4 * min(rx, rz), cz), (0, -1, 0), weights)
            for k in range(sides):
                self.faces.append((tip, first + k, first + (k + 1) % sides))
        if cap_top:
            y, rx, rz, weights = rings[-1]
            tip = self.vertex((cx, y + 0.4 * min(rx, rz), cz), (0, 1, 0), weights)
            base = first + (len(rings) - 1) * sides
            for k in range(sides):
                self.faces.append((tip, base + (k + 1) % sides, base + k))

    def ellipsoid(self, centre, radii, weights, rows=7, sides=10, top_only=False, min_polar=0.0):
        """An ellipsoid (or its cap from the top down to polar angle rows' end)."""
        first = len(self.vertices)
        top = self.vertex(v_add(centre, (0, radii[1], 0)), (0, 1, 0), weights)
        for r in range(1, rows + 1):
            polar = math.pi * r / (rows + 1) if not top_only else min_polar * r / rows
            for k in range(sides):
                a = 2.0 * math.pi * k / sides
                n = (math.sin(polar) * math.cos(a), math.cos(polar), math.sin(polar) * math.sin(a))
                p = (n[0] * radii[0], n[1] * radii[1], n[2] * radii[2])
                self.vertex(v_add(centre, p), (n[0] / radii[0], n[1] / radii[1], n[2] / radii[2]), weights)
        for k in range(sides):
            self.faces.append((top, first + 1 + (k + 1) % sides, first + 1 + k))
        for r in range(rows - 1):
            for k in range(sides):
                a = first + 1 + r * sides + k
                b = first + 1 + r * sides + (k + 1) % sides
                self.faces += [(a, b + sides, a + sides), (a, b, b + sides)]
        if not top_only:
            bottom = self.vertex(v_add(centre, (0, -radii[1], 0)), (0, -1, 0), weights)
            base = first + 1 + (rows - 1) * sides
            for k in range(sides):
                self.faces.append((bottom, base + k, base + (k + 1) % sides))

    def box(self, lo, hi, weights):
        x0, y0, z0 = lo
        x1, y1, z1 = hi
        quads = [((1, 0, 0), [(x1, y0, z0), (x1, y1, z0), (x1, y1, z1), (x1, y0, z1)]),
                 ((-1, 0, 0), [(x0, y0, z1), (x0, y1, z1), (x0, y1, z0), (x0, y0, z0)]),
                 ((0, 1, 0), [(x0, y1, z0), (x0, y1, z1), (x1, y1, z1), (x1, y1, z0)]),
                 ((0, -1, 0), [(x0, y0, z1), (x0, y0, z0), (x1, y0, z0), (x1, y0, z1)]),
                 ((0, 0, 1), [(x1, y0, z1), (x1, y1, z1), (x0, y1, z1), (x0, y0, z1)]),
                 ((0, 0, -1), [(x0, y0, z0), (x0, y1, z0), (x1, y1, z0), (x1, y0, z0)])]
        for normal, corners in quads:
            i = [self.vertex(c, normal, weights) for c in corners]
            self.faces += [(i[0], i[1], i[2]), (i[0], i[2], i[3])]


def body_shape(body):
    """Girth factors: torso, belly, limbs."""
    return {"FG": (0.92, 0.9, 0.92), "FP": (1.0, 1.08, 1.0), "HJ": (0.95, 0.92, 0.95),
            "HM": (1.02, 1.06, 1.0), "HF": (1.15, 1.22, 1.12), "HA": (1.0, 1.12, 0.95)}[body]


def build_parts(body, model):
    build = "woman" if body in WOMEN else "man"
    woman = build == "woman"
    world = forward_kinematics(build, {})
    at = {name: world[name][0] for name in world}
    torso, belly, limb = body_shape(body)
    parts = {name: Part() for name in ("skin", "hair", "eyes", "clothes", "pants", "shoes")}
    w = lambda *pairs: list(pairs)  # noqa: E731

    # Hips and legs (trousers), one skinned tube per leg.
    pelvis_y = at["pelvis"][1]
    hip_w = (0.17 if woman else 0.155) * belly
    parts["pants"].tube((0.0, 0.0), [
        (at["thigh_R"][1] - 0.06, hip_w, 0.11 * belly, w(("pelvis", 1.0))),
        (pelvis_y, hip_w, 0.115 * belly, w(("pelvis", 1.0))),
        (at["spine"][1] + 0.02, 0.15 * belly, 0.11 * belly, w(("pelvis", 0.5), ("spine", 0.5))),
    ], sides=10, cap_top=False)
    for side in ("R", "L"):
        x = at["thigh_" + side][0] * 0.9
        thigh, shin, foot = at["thigh_" + side], at["shin_" + side], at["foot_" + side]
        parts["pants"].tube((x, 0.0), [
            (foot[1] + 0.02, 0.05 * limb, 0.05 * limb, w(("shin_" + side, 1.0))),
            ((foot[1] + shin[1]) / 2, 0.058 * limb, 0.062 * limb, w(("shin_" + side, 1.0))),
            (shin[1], 0.066 * limb, 0.068 * limb, w(("thigh_" + side, 0.5), ("shin_" + side, 0.5))),
            ((shin[1] + thigh[1]) / 2, 0.08 * limb, 0.082 * limb, w(("thigh_" + side, 1.0))),
            (thigh[1] + 0.02, 0.085 * limb, 0.088 * limb, w(("thigh_" + side, 0.7), ("pelvis", 0.3))),
        ], cap_top=False)
        # Shoes: a sole and an upper, toes forward (-Z).
        parts["shoes"].box((x - 0.05, 0.0, -0.2), (x + 0.05, 0.05, 0.06), w(("foot_" + side, 1.0)))
        parts["shoes"].box((x - 0.045, 0.05, -0.12), (x + 0.045, foot[1] + 0.04, 0.05), w(("foot_" + side, 1.0)))

    # Torso (shirt): waist to shoulders.
    chest_y, neck_y = at["chest"][1], at["neck"][1]
    chest_w = (0.15 if woman else 0.17) * torso
    parts["clothes"].tube((0.0, 0.0), [
        (at["spine"][1] - 0.03, 0.15 * belly, 0.11 * belly, w(("pelvis", 0.5), ("spine", 0.5))),
        (at["spine"][1] + 0.1, 0.15 * belly, 0.12 * belly, w(("spine", 1.0))),
        (chest_y, chest_w, 0.12 * torso, w(("spine", 0.4), ("chest", 0.6))),
        (chest_y + 0.12, chest_w * 1.05, 0.11 * torso, w(("chest", 1.0))),
        (neck_y - 0.02, chest_w * 1.02, 0.085, w(("chest", 1.0))),
        (neck_y + 0.01, 0.07, 0.06, w(("chest", 0.5), ("neck", 0.5))),
    ], sides=10, cap_bottom=False)
    if woman:   # a chest line
        parts["clothes"].ellipsoid((0.0, chest_y + 0.06, -0.07), (0.12, 0.06, 0.05), w(("chest", 1.0)), rows=4)

    # Neck and head.
    head_y = at["head"][1]
    parts["skin"].tube((0.0, 0.0), [
        (neck_y - 0.02, 0.05, 0.05, w(("chest", 0.5), ("neck", 0.5))),
        (head_y + 0.02, 0.048, 0.048, w(("neck", 0.5), ("head", 0.5))),
    ], cap_bottom=False, cap_top=False)
    head_c = (0.0, head_y + 0.1, 0.0)
    head_r = (0.085, 0.115, 0.1) if not woman else (0.08, 0.11, 0.095)
    parts["skin"].ellipsoid(head_c, head_r, w(("head", 1.0)), rows=7, sides=12)
    parts["skin"].ellipsoid((0.0, head_c[1] - 0.01, -head_r[2] + 0.005), (0.018, 0.028, 0.025),
                            w(("head", 1.0)), rows=3, sides=6)   # nose
    for sx in (1.0, -1.0):   # ears
        parts["skin"].ellipsoid((sx * head_r[0], head_c[1], 0.0), (0.015, 0.03, 0.02), w(("head", 1.0)), rows=3, sides=6)
    for sx in (1.0, -1.0):   # eyes, just out of the face's surface
        x, y = 0.032 * sx, head_c[1] + 0.02
        z = -head_r[2] * math.sqrt(max(0.0, 1.0 - (x / head_r[0]) ** 2 - ((y - head_c[1]) / head_r[1]) ** 2)) + 0.004
        parts["eyes"].ellipsoid((x, y, z), (0.013, 0.009, 0.008), w(("head", 1.0)), rows=3, sides=8)
    # Hair: a cap over the top and back; longer for women, sparse for the eldest.
    cap = (head_r[0] + 0.012, head_r[1] + 0.01, head_r[2] + 0.012)
    polar = 1.25 if body != "HA" else 0.9
    parts["hair"].ellipsoid(v_add(head_c, (0.0, 0.0, 0.012)), cap, w(("head", 1.0)), rows=5, sides=12,
                            top_only=True, min_polar=polar)
    if woman:
        # Long hair down the back, from under the cap's edge: seen from
        # behind, a band of skin between the two read as a bearded face.
        parts["hair"].ellipsoid(v_add(head_c, (0.0, -0.05, 0.045)), (0.09, 0.145, 0.065), w(("head", 1.0)),
                                rows=6, sides=10)
    if body == "HM" and model == 2:   # a beard
        parts["hair"].ellipsoid(v_add(head_c, (0.0, -0.075, -0.045)), (0.07, 0.05, 0.055), w(("head", 1.0)),
                                rows=4, sides=10)

    # Arms: short sleeves over a skinned arm, hands as blocks.
    for side, sign in (("R", 1.0), ("L", -1.0)):
        up, fore, hand = at["upperarm_" + side], at["forearm_" + side], at["hand_" + side]
        x = up[0]
        parts["clothes"].tube((x, 0.0), [
            (up[1] - 0.14, 0.058 * limb, 0.058 * limb, w(("upperarm_" + side, 1.0))),
            (up[1] - 0.02, 0.07 * limb, 0.068 * limb, w(("upperarm_" + side, 0.8), ("chest", 0.2))),
        ], cap_bottom=False)
        parts["skin"].tube((x, 0.0), [
            (hand[1], 0.032 * limb, 0.036 * limb, w(("forearm_" + side, 0.5), ("hand_" + side, 0.5))),
            ((hand[1] + fore[1]) / 2, 0.038 * limb, 0.042 * limb, w(("forearm_" + side, 1.0))),
            (fore[1], 0.043 * limb, 0.045 * limb, w(("upperarm_" + side, 0.5), ("forearm_" + side, 0.5))),
            (up[1] - 0.13, 0.05 * limb, 0.05 * limb, w(("upperarm_" + side, 1.0))),
        ], cap_top=False)
        parts["skin"].box((x - 0.022, hand[1] - 0.1, -0.045), (x + 0.022, hand[1] + 0.005, 0.035),
                          w(("hand_" + side, 1.0)))
        parts["skin"].box((x - 0.02 * sign - 0.012, hand[1] - 0.06, -0.06), (x - 0.02 * sign + 0.012, hand[1] - 0.01, -0.035),
                          w(("hand_" + side, 1.0)))   # thumb
    return build, parts


def appearance(body, skin, model):
    return "%s_%s_%02d" % (body, skin, model)


def mesh_xml(body, skin, model):
    build, parts = build_parts(body, model)
    ids = {name: i for i, (name, _, _) in enumerate(skeleton_bones(build))}
    name = appearance(body, skin, model)
    out = ["<mesh>", "    <submeshes>"]
    for part in ("skin", "hair", "eyes", "clothes", "pants", "shoes"):
        p = parts[part]
        out.append('        <submesh material="%s/mat_%s" usesharedvertices="false" use32bitindexes="false" '
                   'operationtype="triangle_list">' % (name, part))
        out.append('            <faces count="%d">' % len(p.faces))
        for a, b, c in p.faces:
            out.append('                <face v1="%d" v2="%d" v3="%d" />' % (a, b, c))
        out.append("            </faces>")
        out.append('            <geometry vertexcount="%d">' % len(p.vertices))
        out.append('                <vertexbuffer positions="true" normals="true">')
        for pos, normal, _ in p.vertices:
            out.append('                    <vertex><position x="%s" y="%s" z="%s" /><normal x="%s" y="%s" z="%s" /></vertex>'
                       % (tuple(f(c) for c in pos) + tuple(f(c) for c in normal)))
        out.append("                </vertexbuffer>")
        out.append("            </geometry>")
        out.append("            <boneassignments>")
        for i, (_, _, weights) in enumerate(p.vertices):
            for bone, weight in weights:
                out.append('                <vertexboneassignment vertexindex="%d" boneindex="%d" weight="%s" />'
                           % (i, ids[bone], f(weight)))
        out.append("            </boneassignments>")
        out.append("        </submesh>")
    out += ["    </submeshes>", '    <skeletonlink name="%s.skeleton" />' % build, "</mesh>", ""]
    return "\n".join(out)


# ---- award objects ---------------------------------------------------------------------------

def lathe_xml(material, profile, sides=16):
    """A solid of revolution about Y from (radius, height) points, bottom to top."""
    p = Part()
    for r, y in profile:
        for k in range(sides):
            a = 2.0 * math.pi * k / sides
            p.vertex((r * math.cos(a), y, r * math.sin(a)), (math.cos(a), 0.2, math.sin(a)), [])
    for i in range(len(profile) - 1):
        for k in range(sides):
            a = i * sides + k
            b = i * sides + (k + 1) % sides
            p.faces += [(a, a + sides, b), (b, a + sides, b + sides)]
    return plain_mesh_xml([(material, p)])


def plain_mesh_xml(parts):
    out = ["<mesh>", "    <submeshes>"]
    for material, p in parts:
        out.append('        <submesh material="%s" usesharedvertices="false" use32bitindexes="false" '
                   'operationtype="triangle_list">' % material)
        out.append('            <faces count="%d">' % len(p.faces))
        out += ['                <face v1="%d" v2="%d" v3="%d" />' % t for t in p.faces]
        out.append("            </faces>")
        out.append('            <geometry vertexcount="%d">' % len(p.vertices))
        out.append('                <vertexbuffer positions="true" normals="true">')
        for pos, normal, _ in p.vertices:
            out.append('                    <vertex><position x="%s" y="%s" z="%s" /><normal x="%s" y="%s" z="%s" /></vertex>'
                       % (tuple(f(c) for c in pos) + tuple(f(c) for c in normal)))
        out += ["                </vertexbuffer>", "            </geometry>", "        </submesh>"]
    out += ["    </submeshes>", "</mesh>", ""]
    return "\n".join(out)


def award_meshes():
    cup = [(0.12, 0.0), (0.12, 0.03), (0.05, 0.05), (0.025, 0.1), (0.025, 0.2), (0.08, 0.24),
           (0.14, 0.32), (0.15, 0.42), (0.14, 0.43), (0.0, 0.43)]
    medal = [(0.0, 0.0), (0.09, 0.0), (0.1, 0.01), (0.09, 0.02), (0.0, 0.02)]
    pennant = Part()
    pennant.box((-0.01, 0.0, -0.01), (0.01, 0.6, 0.01), [])
    pennant.box((0.01, 0.3, -0.004), (0.35, 0.58, 0.004), [])
    return {
        "trophy_cup.mesh.xml": lathe_xml("KEM/Trophy", cup),
        "medal.mesh.xml": lathe_xml("KEM/Trophy", medal),
        "pennant.mesh.xml": plain_mesh_xml([("KEM/Pennant", pennant)]),
    }


# ---- materials -------------------------------------------------------------------------------

SKIN_COLOURS = {"CN": (0.93, 0.76, 0.63), "CS": (0.80, 0.60, 0.45), "AS": (0.90, 0.75, 0.55),
                "AF": (0.42, 0.28, 0.19)}


def hair_colour(body, skin, model):
    if body == "HA":
        return (0.78, 0.78, 0.76) if model == 1 else (0.55, 0.55, 0.55)
    if skin in ("AF", "AS"):
        return (0.08, 0.07, 0.06) if model == 1 else (0.18, 0.12, 0.08)
    palette = {("FG", 1): (0.45, 0.28, 0.12), ("FG", 2): (0.85, 0.7, 0.38), ("FP", 1): (0.1, 0.08, 0.06),
               ("FP", 2): (0.55, 0.22, 0.1), ("HJ", 1): (0.4, 0.26, 0.12), ("HJ", 2): (0.82, 0.68, 0.4),
               ("HM", 1): (0.12, 0.1, 0.08), ("HM", 2): (0.3, 0.2, 0.12), ("HF", 1): (0.35, 0.22, 0.1),
               ("HF", 2): (0.1, 0.08, 0.06)}
    return palette[(body, model)]


def shirt_colour(body, skin, model):
    i = BODIES.index(body) * 8 + SKINS.index(skin) * 2 + model
    hue = (i * 0.137) % 1.0
    return hsv(hue, 0.45, 0.75)


def hsv(h, s, v):
    i = int(h * 6) % 6
    fr = h * 6 - int(h * 6)
    p, q, t = v * (1 - s), v * (1 - fr * s), v * (1 - (1 - fr) * s)
    return [(v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q)][i]


def colour_material(name, colour, shininess=0.0):
    """A plain lit colour. The venues' ambient light is dim and the match camera
    mostly sees the thrower's back: the full colour as ambient and a little
    self-illumination keep a figure readable against the light."""
    r, g, b = colour
    specular = "0.25 0.25 0.25 1 %d" % shininess if shininess else "0 0 0 1"
    return ("material %s\n{\n    technique\n    {\n        pass\n        {\n            lighting on\n"
            "            ambient %.3f %.3f %.3f 1\n            diffuse %.3f %.3f %.3f 1\n"
            "            emissive %.3f %.3f %.3f 1\n            specular %s\n        }\n    }\n}\n\n"
            % (name, r, g, b, r * 0.85, g * 0.85, b * 0.85, r * 0.2, g * 0.2, b * 0.2, specular))


def read_table(path):
    rows = []
    with open(path, encoding="utf-8") as fh:
        for line in fh:
            line = line.strip(" \t\r\n")
            if line:
                rows.append([x for x in line.split(";") if x])
    return rows


# Shirt colours of the national sides; regional sides get colours of their own below.
NATION_COLOURS = {
    "Algerie": (0.1, 0.55, 0.25), "Allemagne": (0.12, 0.12, 0.12), "Argentine": (0.5, 0.75, 0.95),
    "Australie": (0.95, 0.8, 0.15), "Belgique": (0.8, 0.1, 0.12), "Canada": (0.85, 0.12, 0.12),
    "Espagne": (0.85, 0.15, 0.1), "France": (0.12, 0.2, 0.6), "Italie": (0.1, 0.4, 0.8),
    "Japon": (0.95, 0.95, 0.95), "Maroc": (0.7, 0.1, 0.12), "Russie": (0.95, 0.95, 0.97),
    "Suede": (0.98, 0.82, 0.1), "Suisse": (0.9, 0.12, 0.12), "Thailande": (0.1, 0.15, 0.5),
    "Tunisie": (0.9, 0.9, 0.9),
}


def team_clothes(data_dir):
    teams = [r[0] for r in read_table(os.path.join(data_dir, "Equipes_DB.csv"))[1:] if r]
    ids = ["FR", "EN"]
    for row in read_table(os.path.join(data_dir, "Lang_DB.csv")):
        if row and row[0] == "STRING_ID":
            ids = row[1:]
    out = ["// Team clothes: \"<team display name>_<language id>/man_Clothes\" and \"/woman_Clothes\".\n\n"]
    for i, team in enumerate(teams):
        display = SECOND_REGION_NAMES.get(team, team)
        colour = NATION_COLOURS.get(team, hsv((i * 0.173 + 0.05) % 1.0, 0.6, 0.8))
        for lang in ids:
            for kind in ("man_Clothes", "woman_Clothes"):
                out.append(colour_material("%s_%s/%s" % (display, lang, kind), colour))
    return "".join(out)


def players_material(data_dir):
    out = ["// The players' materials, plain lit colours: per appearance the skin, hair, shoes,\n"
           "// trousers and default shirt, then the team clothes.\n\n"]
    for body in BODIES:
        for skin in SKINS:
            for model in MODELS:
                name = appearance(body, skin, model)
                out.append(colour_material(name + "/mat_skin", SKIN_COLOURS[skin]))
                out.append(colour_material(name + "/mat_hair", hair_colour(body, skin, model)))
                out.append(colour_material(name + "/mat_eyes", (0.12, 0.08, 0.05) if model == 1 else (0.15, 0.25, 0.35), 40))
                out.append(colour_material(name + "/mat_shoes", (0.92, 0.92, 0.9) if model == 1 else (0.3, 0.18, 0.1), 20))
                out.append(colour_material(name + "/mat_pants", (0.15, 0.17, 0.3) if body not in WOMEN else (0.75, 0.7, 0.6)))
                out.append(colour_material(name + "/mat_clothes", shirt_colour(body, skin, model)))
    out.append(colour_material("KEM/Trophy", (0.95, 0.75, 0.25), 60))
    out.append(colour_material("KEM/Pennant", (0.75, 0.1, 0.15)))
    out.append(team_clothes(data_dir))
    return "".join(out)


# ---- head pictures -------------------------------------------------------------------------------

def png(width, height, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def head_picture(body, skin, model, size=64):
    woman = body in WOMEN
    skin_c = SKIN_COLOURS[skin]
    hair_c = hair_colour(body, skin, model)
    back = hsv((BODIES.index(body) * 0.16 + model * 0.07) % 1.0, 0.25, 0.55)

    def rgba(c, a=1.0):
        return tuple(max(0, min(255, int(round(x * 255)))) for x in c) + (int(a * 255),)

    def inside(x, y, cx, cy, rx, ry):
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0

    pixels = []
    for j in range(size):
        row = []
        for i in range(size):
            x, y = (i + 0.5) / size, (j + 0.5) / size
            c = rgba(back)
            if y > 0.84 and inside(x, y, 0.5, 1.05, 0.42, 0.25):
                c = rgba(shirt_colour(body, skin, model))                 # shoulders
            elif inside(x, y, 0.5, 0.8, 0.1, 0.12):
                c = rgba(tuple(v * 0.9 for v in skin_c))                  # neck
            long_hair = woman and inside(x, y, 0.5, 0.55, 0.33, 0.36) and y > 0.3
            if long_hair:
                c = rgba(hair_c)
            if inside(x, y, 0.5, 0.48, 0.25, 0.32):
                c = rgba(skin_c)                                           # face
                if inside(x, y, 0.24, 0.5, 0.04, 0.07) or inside(x, y, 0.76, 0.5, 0.04, 0.07):
                    c = rgba(tuple(v * 0.85 for v in skin_c))              # ears' shade
                if inside(x, y, 0.4, 0.45, 0.045, 0.03) or inside(x, y, 0.6, 0.45, 0.045, 0.03):
                    c = rgba((0.97, 0.97, 0.97))                           # eyes
                    if inside(x, y, 0.4, 0.45, 0.02, 0.025) or inside(x, y, 0.6, 0.45, 0.02, 0.025):
                        c = rgba((0.2, 0.15, 0.1))
                if 0.37 < y < 0.39 and (0.34 < x < 0.45 or 0.55 < x < 0.66):
                    c = rgba(tuple(v * 0.8 for v in hair_c))               # eyebrows
                if inside(x, y, 0.5, 0.55, 0.03, 0.06):
                    c = rgba(tuple(v * 0.88 for v in skin_c))              # nose
                if inside(x, y, 0.5, 0.66, 0.09, 0.025) and y > 0.655:
                    c = rgba((0.65, 0.25, 0.25) if woman else (0.55, 0.3, 0.28))   # mouth
                if body == "HM" and model == 2 and y > 0.62 and inside(x, y, 0.5, 0.62, 0.25, 0.18):
                    c = rgba(hair_c)                                       # beard
            top = 0.28 if body != "HA" else 0.22
            if inside(x, y, 0.5, 0.36, 0.27, 0.22) and y < top + (0.06 if woman else 0.0) + abs(x - 0.5) * 0.35:
                c = rgba(hair_c)                                           # hair line
            row.append(c)
        pixels.append(row)
    return png(size, size, pixels)


def heads_material():
    out = ["// The player panel's head pictures, one per appearance.\n\n"]
    for body in BODIES:
        for skin in SKINS:
            for model in MODELS:
                name = appearance(body, skin, model)
                out.append("material HUD/Head_%s\n{\n    technique\n    {\n        pass\n        {\n"
                           "            lighting off\n            depth_check off\n            depth_write off\n"
                           "            scene_blend alpha_blend\n            texture_unit\n            {\n"
                           "                texture head_%s.png\n                tex_address_mode clamp\n"
                           "            }\n        }\n    }\n}\n\n" % (name, name))
    return "".join(out)


# ---- main ---------------------------------------------------------------------------------------------

def write(path, data):
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(path, mode) as fh:
        fh.write(data)


def main(argv):
    args = list(argv[1:])
    converter, xml_dir = None, None
    meshes_only = "--meshes-only" in args
    if meshes_only:
        args.remove("--meshes-only")
    if "--converter" in args:
        i = args.index("--converter")
        converter = args[i + 1]
        del args[i:i + 2]
    if "--xml" in args:
        i = args.index("--xml")
        xml_dir = args[i + 1]
        del args[i:i + 2]
    if len(args) != 3:
        sys.stderr.write(__doc__)
        return 2
    data_dir, models_dir, overlays_dir = args
    xml_dir = xml_dir or models_dir
    for d in (models_dir, xml_dir) if meshes_only else (models_dir, overlays_dir, xml_dir):
        os.makedirs(d, exist_ok=True)

    xml = {}
    for build in ("man", "woman"):
        xml[build + ".skeleton.xml"] = skeleton_xml(build)
    for body in BODIES:
        for skin in SKINS:
            for model in MODELS:
                xml[appearance(body, skin, model) + ".mesh.xml"] = mesh_xml(body, skin, model)
    xml.update(award_meshes())
    for name, text in xml.items():
        write(os.path.join(xml_dir, name), text)
    if not meshes_only:
        write(os.path.join(models_dir, "Players.material"), players_material(data_dir))
        write(os.path.join(overlays_dir, "Heads.material"), heads_material())
        for body in BODIES:
            for skin in SKINS:
                for model in MODELS:
                    name = appearance(body, skin, model)
                    write(os.path.join(overlays_dir, "head_%s.png" % name), head_picture(body, skin, model))
    if converter:
        log = os.path.join(xml_dir, "OgreXMLConverter.log")
        for name in sorted(xml, key=lambda n: (".skeleton." not in n, n)):   # skeletons first
            src = os.path.join(xml_dir, name)
            dst = os.path.join(models_dir, name[:-len(".xml")])
            subprocess.run([converter, "-q", "-log", log, src, dst], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
