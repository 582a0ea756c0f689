#!/usr/bin/env python3
"""Writes abstract_reference.txt: the first points of the abstract generator
for a set of parameter cases, worked out here on their own from the
generator's formulas, so that the C++ generator can be checked against an
implementation that shares no code with it.

Run from anywhere:  python3 tests/abstract/make_abstract_reference.py

Each case in the output is

    case NAME
    FIELD VALUE...         one line per parameter the case sets
    points N
    X Y Z STATUS R G B     N lines: the point each call returns and its colour
    end

Reals are written with repr(), which reads back to the same double.
"""

import math
import os
import struct

PI = 3.14159265359
D = PI / 180.0
SINGLE_TENTH = struct.unpack("f", struct.pack("f", 0.1))[0]
POINTS = 256


def f32(v):
    """Rounds a double to single precision."""
    return struct.unpack("f", struct.pack("f", v))[0]


def trunc32(v):
    """Truncation toward zero into 32 bits; out of range and NaN give 0x80000000."""
    if v != v or not (-2147483649.0 < v < 2147483648.0):
        return -(1 << 31)
    return int(v)


def low16(v):
    v &= 0xFFFF
    return v - 0x10000 if v >= 0x8000 else v


def coord(v):
    return low16(trunc32(v))


class Flags:
    def __init__(self):
        self.high = 0
        self.edge = {"x5": 0, "y5": 0, "x6": 0, "y6": 0}


class Generator:
    def __init__(self, params, flags):
        self.flags = flags
        # Defaults of a fresh track.
        self.formula = 1
        self.usePalette = 0
        self.shift = 1
        self.red = self.green = self.blue = 0
        self.channelGain = [0, 0, 0]
        self.channelOffset = [0, 0, 0]
        self.channelDelta = [0, 0, 0]
        self.channelPhase = [0.0, 0.0, 0.0]
        self.channelRate = [0.0, 0.0, 0.0]
        self.pointsPerFrame = 400
        self.colorOffset = [0, 45, 90]
        self.colorSpeed = 0
        self.blankSpeed = 0
        self.blankSpot = 0
        self.envelopeType = 0
        self.envelopeDepth = 0
        self.envelopeSpeed = 0
        self.envelopePhase = 0.0
        self.blankPhase = 0.0
        self.colorPhase = 0.0
        self.sweep = -30000.0
        self.zSlope = 0.0
        self.pointCounter = 0
        self.restart = 1
        self.zAxisGain = 0
        self.zAxisOffset = 0
        self.zAxisFormula = 1
        self.zAxisPhase = 0.0
        self.prev = [0, 0, 0, 0]
        self.cur = [0, 0, 0, 0]
        self.jumpSteps = 0
        self.jumpStepX = 0
        self.jumpStepZ = 0
        self.jumpSlope = 0.0
        self.jumpIntercept = 0.0
        self.jumpTarget = [0, 0, 0, 0]
        for name, value in params.items():
            setattr(self, name, list(value) if isinstance(value, (list, tuple)) else value)

    def next(self):
        """One call: returns (x, y, z, status, r, g, b) of the current point."""
        while True:
            blank = False
            if self.restart == 1:
                self.sweep = -30000.0
                self.flags.high = 1
                self.restart = 0
                blank = True
            self.prev = list(self.cur)
            if self.jumpSteps > 0 and self.jumpStepX != 0:
                x = low16(self.prev[0] + self.jumpStepX)
                z = low16(self.prev[2] + self.jumpStepZ)
                y = coord(x * self.jumpSlope + self.jumpIntercept)
                self.cur = [x, y, z, self.jumpTarget[3]]
                self.jumpSteps -= 1
                break
            if self.jumpSteps == 0 and self.jumpStepX != 0:
                self.cur = list(self.jumpTarget)
                self.jumpStepX = 0
                self.jumpSlope = 0.0
                self.jumpIntercept = 0.0
                break
            if not self.new_point(blank):
                break
        return tuple(self.cur) + (self.red & 0xFF, self.green & 0xFF, self.blue & 0xFF)

    def new_point(self, blank):
        """Works out a new point of the figure; returns True when a bridge was set up."""
        ph, rate, off = self.channelPhase, self.channelRate, self.channelOffset
        for k in (0, 1):
            ph[k] = ph[k] + off[k] * 0.1 * (PI * 0.001388888888888889) + rate[k]
        if ph[2] == 0.0:
            ph[2] = 0.5
            rate[2] = 0.0
        else:
            ph[2] = ph[2] + off[2] * 0.1 * (PI * 0.001388888888888889) + rate[2]

        s = math.sin(self.envelopePhase)
        if self.envelopeType == 1:
            t = (100 - self.envelopeDepth) * 0.01
            if s > t:
                env = 1.0
                if self.flags.high == 0:
                    self.flags.high = 1
                    blank = True
            else:
                env = t
                if self.flags.high == 1:
                    self.flags.high = 0
                    blank = True
        else:
            env = 1.0 - self.envelopeDepth * 0.01 * abs(s)

        A1, A2, A3 = (g * 0.01 for g in self.channelGain)
        p1, p2, p3 = ph
        sin, cos = math.sin, math.cos

        def square(v):
            return A3 if v > 0 else (-A3 if v < 0 else 0.0)

        def edge(q, key):
            nonlocal blank
            f = self.flags.edge[key]
            if (q >= 0 and f == 0) or (q < 0 and f == 1):
                self.flags.edge[key] = 1 - f
                blank = True

        X2 = X3 = 0.0
        f = self.formula
        if f == 1:
            X2 = env * A2 * sin(p2)
            X3 = A3 * sin(p3)
            x = A1 * sin(p1) + X2 + X3
            y = A1 * cos(p1) + env * A2 * cos(p2) + A3 * cos(p3)
        elif f == 2:
            X2 = env * A2 * sin(p2) * abs(sin(p2))
            X3 = A3 * sin(p3)
            x = A1 * sin(p1) + X2 + X3
            y = A1 * cos(p1) + env * A2 * cos(p2) * abs(cos(p2)) + env * A3 * cos(p3) * cos(p3)
        elif f == 3:
            X2 = env * A2 * sin(p2) * sin(p2) * sin(p2)
            X3 = A3 * sin(p3)
            x = A1 * sin(p1) * sin(p1) * sin(p1) + X2 + X3
            y = A1 * cos(p1) * cos(p1) * cos(p1) + env * A2 * cos(p2) * cos(p2) * cos(p2) + A3 * cos(p3)
        elif f == 4:
            c = cos(off[2] * 0.1 * D)
            X2 = env * A2 * sin(p2)
            X3 = A3 * sin(p3)
            x = env * A1 * sin(p1) + X2 + X3
            y = c * env * A1 * cos(p1) + c * env * A2 * cos(p2) + A3 * cos(p3)
        elif f == 5:
            qx, qy = square(sin(p3)), square(cos(p3))
            edge(qx, "x5")
            edge(qy, "y5")
            X2 = env * A2 * sin(p2)
            X3 = qx
            x = env * A1 * sin(p1) + X2 + qx
            y = env * A1 * cos(p1) + env * A2 * cos(p2) + qy
        elif f == 6:
            qx, qy = square(sin(p3)), square(cos(p3))
            edge(qx, "x6")
            edge(qy, "y6")
            X2 = env * A2 * sin(p2) * sin(p2) * sin(p2)
            X3 = qx
            x = A1 * sin(p1) + X2 + qx
            y = A1 * cos(p1) + env * A2 * cos(p2) * cos(p2) * cos(p2) + qy
        elif f in (7, 8):
            self.sweep = self.sweep + 30.0 * (self.channelGain[2] + off[2] * 0.0002777777777777778) + 100000.0 * rate[2]
            if self.sweep > 30000.0:
                self.sweep = -30000.0
                blank = True
        else:
            raise ValueError("invalid formula")

        cur = self.cur
        if f <= 6:
            cur[0] = coord((x + 2.0) * 10000.0 - 20000.0)
            cur[1] = coord((y + 2.0) * 10000.0 - 20000.0)
            if f in (5, 6) and (abs(cur[0] - self.prev[0]) > 10000 or abs(cur[1] - self.prev[1]) > 10000):
                blank = True
        else:
            cur[0] = coord(self.sweep)
            if f == 7:
                w = A1 * sin(off[0] * SINGLE_TENTH * D + 100 * rate[0] + self.sweep)
            else:
                w = A1 * sin(p1)
            cur[1] = coord(env * ((w + A2 * sin(p2) + 2.0) * 10000.0 - 20000.0))

        u = cur[0] * 7.142857142857143e-6 + 0.5
        v = cur[1] * 7.142857142857143e-6 + 0.5
        aU = 2.0 * PI * u
        aV = 2.0 * PI * v
        self.pointCounter += 1
        if self.pointCounter > self.pointsPerFrame:
            self.zAxisPhase = self.zAxisPhase + self.zAxisOffset * 0.1
            self.pointCounter = 0
        zo = self.zAxisOffset
        o = zo * D
        k24 = zo // 24
        k4 = zo // 4
        r = math.sqrt(float(cur[0]) * cur[0] + float(cur[1]) * cur[1])
        zf = self.zAxisFormula
        if zf == 1:
            z = sin(r * 0.00016666666666666666 + self.zAxisPhase * D) * 10000.0
        elif zf == 2:
            z = cos(k24 * D + aU) * cos(aV) * 50000.0 - 100000.0
        elif zf == 3:
            z = -cos(k24 * D + aU) * 50000.0 - 100000.0
        elif zf == 4:
            z = (A3 * cos(180 * D + k4 + aV + p3) + A2 * cos(90 * D + k4 + aV + p2)
                 + A1 * cos(k4 * D + p1 + aV) + 2.0) * 10000.0 - 20000.0
        elif zf == 5:
            z = (A3 * sin(o + aU + p3) + A1 * sin(o + p1 + aU) + A2 * sin(o + aV + p2) + 2.0) * 10000.0 - 20000.0
        elif zf == 6:
            z = -1.5 * r + 100 * zo
        elif zf in (7, 8):
            fn = cos if zf == 7 else sin
            test = X3 if zf == 7 else X2
            if test == 0.0:
                z = (A1 * fn(o + p1) + A2 * fn(o + p2) + 2.0) * 10000.0 - 20000.0
            elif self.channelGain[0] == 0:
                z = (A3 * fn(o + p3) + 1.0) * 20000.0 - 20000.0
            else:
                z = (A1 * fn(o + p1) + 1.0) * 20000.0 - 20000.0
            if zf == 8:
                z = env * z
        else:
            z = 0.0
        cur[2] = coord(z)
        cur[2] = coord(self.zAxisGain * 0.01 * cur[2])

        dx = abs(cur[0] - self.prev[0])
        dy = abs(cur[1] - self.prev[1])
        dz = abs(cur[2] - self.prev[2])
        if zf == 1:
            m = float(max(dx, dy))
            if m == 0.0:
                m = f32(1e-07)
            s = f32(dz / m)
            if abs(s - self.zSlope) > 0.3:
                blank = True
            self.zSlope = s

        self.blankPhase = self.blankPhase + self.blankSpeed * 0.0005555555555555556
        if self.shift != 3:
            self.colorPhase = self.colorPhase + self.colorSpeed * 0.0005555555555555556

        R, G, B = self.colorOffset
        cP = self.colorPhase

        def level(a):
            return low16(trunc32((sin(a) + 1.0) * 127.5))

        def gate(o_, sv):
            return 255 if (360 - o_) / 360.0 < (sv + 1.0) / 2.0 else 0

        O1, O2, O3 = (float(v_) for v_ in off)
        sh = self.shift
        if self.colorSpeed == 0:
            self.red, self.green, self.blue = min(R, 255), min(G, 255), min(B, 255)
        elif sh == 2:
            self.red, self.green, self.blue = level(R * D + p1 + cP), level(G * D + cP + p2), level(B * D + cP + p3)
        elif sh == 3:
            self.red, self.green, self.blue = level(R * D + O1 + cP), level(G * D + O2 + cP), level(B * D + O3 + cP)
        elif sh == 4:
            self.red = level(R * D + O1 + p1 + cP)
            self.green = level(G * D + O2 + cP + p2)
            self.blue = level(B * D + O3 + cP + p3)
        elif sh == 5:
            self.red, self.green, self.blue = gate(R, sin(cP)), gate(G, sin(90 * D + cP)), gate(B, sin(180 * D + cP))
        elif sh == 6:
            self.red = gate(R, sin(p1 + cP))
            self.green = gate(G, sin(90 * D + cP + p2))
            self.blue = gate(B, sin(180 * D + cP + p3))
        else:
            self.red, self.green, self.blue = level(R * D + cP), level(G * D + cP), level(B * D + cP)

        cur[3] = 0
        if sin(self.blankPhase) < (self.blankSpot - 100) * 0.01 and sh != 0:
            blank = True
        if blank:
            self.red = self.green = self.blue = 0
            cur[3] = 0x4000

        for k in range(3):
            rate[k] = rate[k] + self.channelDelta[k] * D * 1e-08
        if self.envelopeSpeed == 0:
            self.envelopePhase = 1.0
        else:
            self.envelopePhase = self.envelopePhase + self.envelopeSpeed * (0.0001 if f >= 7 else 5e-06)

        steps = 0
        if dx >= 2000:
            steps = trunc32(dx * 0.0005 - 1.0)
        if dy >= 2000 and dy > dx and dx != 0:
            steps = trunc32(dy * 0.0005 - 1.0)
        self.jumpSteps = steps
        if steps > 0:
            sx = low16(trunc32(f32(dx / (steps + 1))))
            sz = low16(trunc32(f32(dz / (steps + 1))))
            if sx == 0:
                # A bridge that cannot step along x is not taken.
                self.jumpSteps = 0
                return False
            self.jumpSlope = (cur[1] - self.prev[1]) / (cur[0] - self.prev[0])
            self.jumpIntercept = cur[1] - cur[0] * self.jumpSlope
            self.jumpStepX = -sx if self.prev[0] > cur[0] else sx
            self.jumpStepZ = -sz if self.prev[2] > cur[2] else sz
            self.jumpTarget = list(cur)
            self.cur = list(self.prev)
            return True
        return False


def plane_case(k):
    return {
        "formula": k,
        "shift": (k - 1) % 6 + 1,
        "channelGain": [70, 40, 25],
        "channelOffset": [410, 1230, 95],
        "channelDelta": [3, 0, 11],
        "channelPhase": [0.3, 0.0, 0.0],
        "channelRate": [0.001, -0.002, 0.0005],
        "colorOffset": [0, 120, 240],
        "colorSpeed": 50,
        "blankSpeed": 200,
        "blankSpot": 60,
        "envelopeType": 1 if k in (3, 6, 8) else 0,
        "envelopeDepth": 50,
        "envelopeSpeed": 3000,
        "envelopePhase": 0.25,
        "pointsPerFrame": 100,
        "zAxisFormula": 1,
        "zAxisGain": 40,
        "zAxisOffset": 20,
    }


def depth_case(k, gains=(60, 35, 20)):
    return {
        "formula": 4,
        "shift": 1,
        "channelGain": list(gains),
        "channelOffset": [300, 900, 1500],
        "channelDelta": [0, 5, 0],
        "channelPhase": [0.0, 1.0, 2.0],
        "channelRate": [0.0, 0.0, 0.003],
        "colorOffset": [300, 45, 90],
        "colorSpeed": 0,
        "blankSpeed": 0,
        "blankSpot": 0,
        "envelopeType": 0,
        "envelopeDepth": 30,
        "envelopeSpeed": 1000,
        "envelopePhase": 0.0,
        "pointsPerFrame": 50,
        "zAxisFormula": k,
        "zAxisGain": 100 if k in (2, 3) else 75,
        "zAxisOffset": 48,
    }


def cases():
    out = [("plane-%d" % k, plane_case(k)) for k in range(1, 9)]
    out += [("depth-%d" % k, depth_case(k)) for k in range(1, 9)]
    # The other branches of the last two depth formulas.
    out.append(("depth-7-no-channel-3", depth_case(7, (60, 35, 0))))
    out.append(("depth-7-no-channel-1", depth_case(7, (0, 35, 20))))
    out.append(("depth-8-no-channel-2", depth_case(8, (60, 0, 20))))
    out.append(("depth-8-no-channel-1", depth_case(8, (0, 35, 20))))
    return out


def fmt(value):
    if isinstance(value, list):
        return " ".join(fmt(v) for v in value)
    return repr(value)


def main():
    lines = ["# Reference points of the abstract generator, made by make_abstract_reference.py."]
    for name, params in cases():
        gen = Generator(params, Flags())
        lines.append("case " + name)
        for key, value in params.items():
            lines.append("%s %s" % (key, fmt(value)))
        lines.append("points %d" % POINTS)
        for _ in range(POINTS):
            lines.append(" ".join(str(v) for v in gen.next()))
        lines.append("end")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "abstract_reference.txt")
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
