#include "tavCollide.h"

#include <cfloat>

namespace
{
// Cosine of the largest tilt at which a face still serves as the reference
// face of a contact (about 25 degrees).
const float FaceAlignment = 0.9f;
const int CapPoints = 8;
const int MaxPolygon = 24;

struct Polygon
{
    int count = 0;
    tavVec3 v[MaxPolygon];
    void Add(const tavVec3& p)
    {
        if (count < MaxPolygon)
            v[count++] = p;
    }
};

float SafeRatio(float n, float d) { return d > 1e-30f ? n / d : 0.0f; }

// ---- GJK on the cores -------------------------------------------------------

struct GjkVertex
{
    tavVec3 a, b, w; // w = a - b
};

struct GjkResult
{
    bool overlap = false;
    bool beyond = false; // the cores are farther apart than the limit
    float distance = 0;
    tavVec3 pA, pB;
};

GjkVertex SupportDifference(const tavConvex& a, const tavConvex& b, const tavVec3& d)
{
    GjkVertex v;
    v.a = a.Support(d);
    v.b = b.Support(-d);
    v.w = v.a - v.b;
    return v;
}

// Keeps the simplex vertices with a weight, in order.
int Compact(GjkVertex* s, float* weights, int n)
{
    int m = 0;
    for (int i = 0; i < n; ++i)
        if (weights[i] > 0.0f)
        {
            s[m] = s[i];
            weights[m++] = weights[i];
        }
    return m;
}

tavVec3 Combine(const GjkVertex* s, const float* weights, int n)
{
    tavVec3 v;
    for (int i = 0; i < n; ++i)
        v += s[i].w * weights[i];
    return v;
}

// Closest point of the simplex to the origin; drops the vertices not needed.
// Returns false when the origin lies inside a tetrahedron.
bool ReduceSimplex(GjkVertex* s, float* weights, int& n, tavVec3& v)
{
    if (n == 2)
    {
        const tavVec3 e = s[1].w - s[0].w;
        const float t = SafeRatio(-Dot(s[0].w, e), LengthSquared(e));
        weights[0] = t <= 0 ? 1.0f : (t >= 1 ? 0.0f : 1.0f - t);
        weights[1] = t <= 0 ? 0.0f : (t >= 1 ? 1.0f : t);
    }
    else if (n == 3)
        ClosestOnTriangle(tavVec3(), s[0].w, s[1].w, s[2].w, weights);
    else if (n == 4)
    {
        static const int faces[4][4] = {{0, 1, 2, 3}, {0, 1, 3, 2}, {0, 2, 3, 1}, {1, 2, 3, 0}};
        float best = FLT_MAX;
        float bestWeights[4] = {0, 0, 0, 0};
        bool outside = false;
        for (const auto& f : faces)
        {
            const tavVec3 nf = Cross(s[f[1]].w - s[f[0]].w, s[f[2]].w - s[f[0]].w);
            const float originSide = Dot(nf, -s[f[0]].w);
            const float otherSide = Dot(nf, s[f[3]].w - s[f[0]].w);
            if (originSide * otherSide > 0.0f)
                continue;
            outside = true;
            float w3[3];
            const tavVec3 p = ClosestOnTriangle(tavVec3(), s[f[0]].w, s[f[1]].w, s[f[2]].w, w3);
            if (LengthSquared(p) < best)
            {
                best = LengthSquared(p);
                for (int i = 0; i < 4; ++i)
                    bestWeights[i] = 0;
                for (int i = 0; i < 3; ++i)
                    bestWeights[f[i]] = w3[i];
            }
        }
        if (!outside)
            return false;
        for (int i = 0; i < 4; ++i)
            weights[i] = bestWeights[i];
    }
    else
        weights[0] = 1.0f;
    n = Compact(s, weights, n);
    v = Combine(s, weights, n);
    return true;
}

GjkResult Gjk(const tavConvex& a, const tavConvex& b, float limit)
{
    GjkResult r;
    GjkVertex s[4];
    float weights[4] = {1, 0, 0, 0};
    int n = 1;
    s[0] = SupportDifference(a, b, NormalizeOr(b.Centre() - a.Centre(), tavVec3(1, 0, 0)));
    tavVec3 v = s[0].w;
    for (int iteration = 0; iteration < 48; ++iteration)
    {
        const float dist2 = LengthSquared(v);
        if (dist2 < 1e-10f)
        {
            r.overlap = true;
            return r;
        }
        const GjkVertex w = SupportDifference(a, b, -v);
        const float vw = Dot(v, w.w);
        if (vw > 0.0f && vw * vw > limit * limit * dist2)
        {
            r.beyond = true;
            return r;
        }
        if (dist2 - vw <= 1e-6f * dist2)
            break;
        bool repeated = false;
        for (int i = 0; i < n; ++i)
            repeated |= LengthSquared(s[i].w - w.w) < 1e-12f;
        if (repeated)
            break;
        s[n++] = w;
        GjkVertex saved[4];
        float savedWeights[4];
        const int savedCount = n - 1;
        for (int i = 0; i < savedCount; ++i)
        {
            saved[i] = s[i];
            savedWeights[i] = weights[i];
        }
        tavVec3 next;
        if (!ReduceSimplex(s, weights, n, next))
        {
            r.overlap = true;
            return r;
        }
        if (LengthSquared(next) >= dist2)
        {
            // No progress: keep the previous simplex, it is as close as it gets.
            n = savedCount;
            for (int i = 0; i < n; ++i)
            {
                s[i] = saved[i];
                weights[i] = savedWeights[i];
            }
            break;
        }
        v = next;
    }
    r.distance = Length(v);
    for (int i = 0; i < n; ++i)
    {
        r.pA += s[i].a * weights[i];
        r.pB += s[i].b * weights[i];
    }
    return r;
}

// ---- Overlapping cores: least overlap over candidate axes -------------------

int FaceAxes(const tavConvex& c, const tavVec3& towards, tavVec3* out)
{
    if (c.triangle)
    {
        out[0] = c.triangle->normal;
        return 1;
    }
    switch (c.shape->GetType())
    {
    case tavRigidShape::Box:
        for (int i = 0; i < 3; ++i)
            out[i] = c.rotation.c[i];
        return 3;
    case tavRigidShape::Cylinder:
    {
        const tavVec3 axis = c.rotation.c[1];
        const tavVec3 d = towards - c.position;
        out[0] = axis;
        out[1] = NormalizeOr(d - axis * Dot(d, axis), c.rotation.c[0]);
        return 2;
    }
    default:
        return 0;
    }
}

int EdgeDirections(const tavConvex& c, tavVec3* out)
{
    if (c.triangle)
    {
        for (int i = 0; i < 3; ++i)
            out[i] = c.triangle->v[(i + 1) % 3] - c.triangle->v[i];
        return 3;
    }
    switch (c.shape->GetType())
    {
    case tavRigidShape::Box:
        for (int i = 0; i < 3; ++i)
            out[i] = c.rotation.c[i];
        return 3;
    case tavRigidShape::Cylinder:
        out[0] = c.rotation.c[1];
        return 1;
    default:
        return 0;
    }
}

// Direction (from a to b) of least overlap of the cores, and that overlap.
void LeastOverlap(const tavConvex& a, const tavConvex& b, tavVec3& normal, float& overlap)
{
    tavVec3 axes[32];
    int count = 0;
    count += FaceAxes(a, b.Centre(), axes + count);
    count += FaceAxes(b, a.Centre(), axes + count);
    axes[count++] = b.Centre() - a.Centre();
    tavVec3 ea[3], eb[3];
    const int na = EdgeDirections(a, ea), nb = EdgeDirections(b, eb);
    for (int i = 0; i < na; ++i)
        for (int j = 0; j < nb; ++j)
            axes[count++] = Cross(ea[i], eb[j]);
    overlap = FLT_MAX;
    normal = tavVec3(0, 1, 0);
    for (int i = 0; i < count; ++i)
    {
        const float len = Length(axes[i]);
        if (!(len > 1e-6f))
            continue;
        for (int sign = 0; sign < 2; ++sign)
        {
            const tavVec3 u = axes[i] * ((sign ? -1.0f : 1.0f) / len);
            const float o = Dot(a.Support(u), u) - Dot(b.Support(-u), u);
            if (o < overlap)
            {
                overlap = o;
                normal = u;
            }
        }
    }
}

// ---- Faces and clipping -----------------------------------------------------

struct Face
{
    float alignment = -1.0f; // cosine between the face normal and the asked direction
    tavVec3 normal;          // outward
    Polygon polygon;         // counter-clockwise about the normal
};

void Orient(Polygon& p, const tavVec3& normal)
{
    if (p.count < 3)
        return;
    if (Dot(Cross(p.v[1] - p.v[0], p.v[2] - p.v[1]), normal) < 0.0f)
        for (int i = 0, j = p.count - 1; i < j; ++i, --j)
            std::swap(p.v[i], p.v[j]);
}

void BoxFace(const tavConvex& c, int axis, float sign, Polygon& out)
{
    const tavVec3 core = c.shape->Core();
    const int j = (axis + 1) % 3, k = (axis + 2) % 3;
    const tavVec3 centre = c.position + c.rotation.c[axis] * (sign * core[axis]);
    const tavVec3 u = c.rotation.c[j] * core[j], w = c.rotation.c[k] * core[k];
    out.count = 0;
    out.Add(centre + u + w);
    out.Add(centre - u + w);
    out.Add(centre - u - w);
    out.Add(centre + u - w);
    Orient(out, c.rotation.c[axis] * sign);
}

void CapFace(const tavConvex& c, float sign, Polygon& out)
{
    const tavVec3 core = c.shape->Core(); // (radius, half-height, 0)
    const tavVec3 centre = c.position + c.rotation.c[1] * (sign * core.y);
    out.count = 0;
    for (int i = 0; i < CapPoints; ++i)
    {
        const float angle = 6.2831853f * (float)i / (float)CapPoints;
        out.Add(centre + (c.rotation.c[0] * std::cos(angle) + c.rotation.c[2] * std::sin(angle)) *
                             core.x);
    }
    Orient(out, c.rotation.c[1] * sign);
}

// The face of c whose outward normal is closest to direction d.
Face BestFace(const tavConvex& c, const tavVec3& d)
{
    Face f;
    if (c.triangle)
    {
        const float s = Dot(c.triangle->normal, d);
        f.normal = c.triangle->normal * (s >= 0 ? 1.0f : -1.0f);
        f.alignment = std::fabs(s);
        for (int i = 0; i < 3; ++i)
            f.polygon.Add(c.triangle->v[i]);
        Orient(f.polygon, f.normal);
        return f;
    }
    const tavVec3 local = c.rotation.TransposeTimes(d);
    if (c.shape->GetType() == tavRigidShape::Box)
    {
        const int axis = std::fabs(local.x) >= std::fabs(local.y) &&
                                 std::fabs(local.x) >= std::fabs(local.z)
                             ? 0
                             : (std::fabs(local.y) >= std::fabs(local.z) ? 1 : 2);
        const float sign = local[axis] >= 0 ? 1.0f : -1.0f;
        f.alignment = std::fabs(local[axis]);
        f.normal = c.rotation.c[axis] * sign;
        BoxFace(c, axis, sign, f.polygon);
    }
    else if (c.shape->GetType() == tavRigidShape::Cylinder)
    {
        const float sign = local.y >= 0 ? 1.0f : -1.0f;
        f.alignment = std::fabs(local.y);
        f.normal = c.rotation.c[1] * sign;
        CapFace(c, sign, f.polygon);
    }
    return f;
}

// The part of c that faces direction d: a face, a segment or a point.
Polygon Incident(const tavConvex& c, const tavVec3& d)
{
    if (c.triangle || c.shape->GetType() == tavRigidShape::Box)
        return BestFace(c, d).polygon;
    Polygon p;
    if (c.shape->GetType() == tavRigidShape::Cylinder)
    {
        const tavVec3 local = c.rotation.TransposeTimes(d);
        if (std::fabs(local.y) > 0.7f)
            return BestFace(c, d).polygon;
        if (std::fabs(local.y) < 0.2f)
        {
            const tavVec3 core = c.shape->Core();
            const tavVec3 radial = NormalizeOr(tavVec3(local.x, 0, local.z), tavVec3(1, 0, 0));
            const tavVec3 side = c.position + c.rotation * (radial * core.x);
            p.Add(side + c.rotation.c[1] * core.y);
            p.Add(side - c.rotation.c[1] * core.y);
            return p;
        }
    }
    p.Add(c.Support(d));
    return p;
}

// Keeps the part of `in` on the inner side of the plane through `at` with
// outward normal `n`.
Polygon ClipPlane(const Polygon& in, const tavVec3& at, const tavVec3& n)
{
    Polygon out;
    if (in.count == 1)
    {
        if (Dot(in.v[0] - at, n) <= 0)
            out.Add(in.v[0]);
        return out;
    }
    const int edges = in.count == 2 ? 1 : in.count;
    for (int i = 0; i < edges; ++i)
    {
        const tavVec3& p = in.v[i];
        const tavVec3& q = in.v[(i + 1) % in.count];
        const float dp = Dot(p - at, n), dq = Dot(q - at, n);
        if (dp <= 0)
            out.Add(p);
        if ((dp < 0) != (dq < 0) && dp != dq)
            out.Add(p + (q - p) * (dp / (dp - dq)));
        if (in.count == 2 && dq <= 0)
            out.Add(q);
    }
    return out;
}

void AddPoint(int& count, tavVec3* points, float* separations, const tavVec3& p, float s)
{
    if (count < MaxPolygon)
    {
        points[count] = p;
        separations[count++] = s;
    }
}

// Picks four points that keep the deepest one and span the most area.
void Reduce(const tavVec3* points, const float* separations, int count, const tavVec3& normal,
            tavContactSet& out)
{
    if (count <= tavContactSet::MaxPoints)
    {
        for (int i = 0; i < count; ++i)
        {
            out.point[i] = points[i];
            out.separation[i] = separations[i];
        }
        out.count = count;
        return;
    }
    int pick[4] = {0, 0, 0, 0};
    for (int i = 1; i < count; ++i)
        if (separations[i] < separations[pick[0]])
            pick[0] = i;
    float best = -1;
    for (int i = 0; i < count; ++i)
        if (LengthSquared(points[i] - points[pick[0]]) > best)
        {
            best = LengthSquared(points[i] - points[pick[0]]);
            pick[1] = i;
        }
    const tavVec3 edge = points[pick[1]] - points[pick[0]];
    float most = 0, least = 0;
    pick[2] = pick[3] = -1;
    for (int i = 0; i < count; ++i)
    {
        const float area = Dot(Cross(edge, points[i] - points[pick[0]]), normal);
        if (area > most)
        {
            most = area;
            pick[2] = i;
        }
        if (area < least)
        {
            least = area;
            pick[3] = i;
        }
    }
    out.count = 0;
    for (int k = 0; k < 4; ++k)
        if (pick[k] >= 0)
        {
            out.point[out.count] = points[pick[k]];
            out.separation[out.count++] = separations[pick[k]];
        }
}

bool ClipFaces(const tavConvex& a, const tavConvex& b, const tavVec3& n, float maxSeparation,
               tavContactSet& out)
{
    const Face fa = BestFace(a, n);
    const Face fb = BestFace(b, -n);
    const bool refIsA = fa.alignment >= fb.alignment;
    const Face& ref = refIsA ? fa : fb;
    if (ref.alignment < FaceAlignment)
        return false;
    const tavConvex& other = refIsA ? b : a;
    const float refMargin = refIsA ? a.Margin() : b.Margin();
    const float otherMargin = refIsA ? b.Margin() : a.Margin();
    Polygon clipped = Incident(other, -ref.normal);
    const int sides = ref.polygon.count;
    for (int i = 0; i < sides && clipped.count > 0; ++i)
    {
        const tavVec3& p = ref.polygon.v[i];
        const tavVec3& q = ref.polygon.v[(i + 1) % sides];
        clipped = ClipPlane(clipped, p, Cross(q - p, ref.normal));
    }
    tavVec3 points[MaxPolygon];
    float separations[MaxPolygon];
    int count = 0;
    for (int i = 0; i < clipped.count; ++i)
    {
        const float d = Dot(clipped.v[i] - ref.polygon.v[0], ref.normal);
        const float s = d - refMargin - otherMargin;
        if (s > maxSeparation)
            continue;
        const tavVec3 onRef = clipped.v[i] - ref.normal * (d - refMargin);
        const tavVec3 onOther = clipped.v[i] - ref.normal * otherMargin;
        AddPoint(count, points, separations, (onRef + onOther) * 0.5f, s);
    }
    if (count == 0)
        return false;
    out.normal = refIsA ? ref.normal : -ref.normal;
    Reduce(points, separations, count, out.normal, out);
    return true;
}

// The triangle feature (edge or corner) nearest to p is inactive.
bool OnInactiveFeature(const tavMeshCollider::Triangle& t, const tavVec3& p)
{
    float w[3];
    ClosestOnTriangle(p, t.v[0], t.v[1], t.v[2], w);
    int zero = -1, zeros = 0;
    for (int i = 0; i < 3; ++i)
        if (w[i] <= 1e-5f)
        {
            zero = i;
            ++zeros;
        }
    if (zeros == 0)
        return false;
    if (zeros == 1)
        return !(t.activeEdges & (1u << ((zero + 1) % 3)));
    for (int i = 0; i < 3; ++i)
        if (w[i] > 1e-5f)
            return !(t.activeCorners & (1u << i));
    return false;
}
} // namespace

tavConvex tavConvex::Of(const tavRigidShape& s, const tavVec3& p, const tavMat3& r)
{
    tavConvex c;
    c.shape = &s;
    c.triangle = nullptr;
    c.position = p;
    c.rotation = r;
    return c;
}

tavConvex tavConvex::Of(const tavMeshCollider::Triangle& t)
{
    tavConvex c;
    c.shape = nullptr;
    c.triangle = &t;
    c.position = (t.v[0] + t.v[1] + t.v[2]) * (1.0f / 3.0f);
    c.rotation = tavMat3::Identity();
    return c;
}

tavVec3 tavConvex::Support(const tavVec3& d) const
{
    if (triangle)
    {
        int best = 0;
        float bestDot = Dot(triangle->v[0], d);
        for (int i = 1; i < 3; ++i)
            if (Dot(triangle->v[i], d) > bestDot)
            {
                bestDot = Dot(triangle->v[i], d);
                best = i;
            }
        return triangle->v[best];
    }
    return position + rotation * shape->SupportLocal(rotation.TransposeTimes(d));
}

float tavConvex::Margin() const { return triangle ? 0.0f : shape->Margin(); }

tavVec3 tavConvex::Centre() const { return position; }

tavVec3 ClosestOnTriangle(const tavVec3& p, const tavVec3& a, const tavVec3& b, const tavVec3& c,
                          float w[3])
{
    const tavVec3 ab = b - a, ac = c - a, ap = p - a;
    const float d1 = Dot(ab, ap), d2 = Dot(ac, ap);
    w[0] = 1, w[1] = 0, w[2] = 0;
    if (d1 <= 0 && d2 <= 0)
        return a;
    const tavVec3 bp = p - b;
    const float d3 = Dot(ab, bp), d4 = Dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
    {
        w[0] = 0, w[1] = 1;
        return b;
    }
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
    {
        const float v = SafeRatio(d1, d1 - d3);
        w[0] = 1 - v, w[1] = v;
        return a + ab * v;
    }
    const tavVec3 cp = p - c;
    const float d5 = Dot(ab, cp), d6 = Dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
    {
        w[0] = 0, w[2] = 1;
        return c;
    }
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
    {
        const float t = SafeRatio(d2, d2 - d6);
        w[0] = 1 - t, w[2] = t;
        return a + ac * t;
    }
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
    {
        const float t = SafeRatio(d4 - d3, (d4 - d3) + (d5 - d6));
        w[0] = 0, w[1] = 1 - t, w[2] = t;
        return b + (c - b) * t;
    }
    const float sum = va + vb + vc;
    if (!(sum > 1e-30f))
        return a;
    const float v = vb / sum, t = vc / sum;
    w[0] = 1 - v - t, w[1] = v, w[2] = t;
    return a + ab * v + ac * t;
}

bool CollideSpheres(const tavVec3& a, float ra, const tavVec3& b, float rb, float maxSeparation,
                    tavContactSet& out)
{
    const tavVec3 d = b - a;
    const float dist = Length(d);
    const float s = dist - ra - rb;
    if (s > maxSeparation)
        return false;
    out.normal = dist > 1e-6f ? d * (1.0f / dist) : tavVec3(0, 1, 0);
    out.count = 1;
    out.point[0] = a + out.normal * (ra + 0.5f * s);
    out.separation[0] = s;
    return true;
}

bool CollideSphereTriangle(const tavVec3& centre, float radius,
                           const tavMeshCollider::Triangle& t, float maxSeparation,
                           tavContactSet& out)
{
    const float plane = Dot(centre - t.v[0], t.normal);
    if (std::fabs(plane) - radius > maxSeparation)
        return false;
    const tavVec3 faceSide = plane >= 0 ? t.normal : -t.normal;
    const tavVec3 projected = centre - t.normal * plane;

    // Barycentric weights of the projection: inside (with a little slack,
    // so a point on a shared edge counts for both triangles) means a face
    // contact.
    const tavVec3 e1 = t.v[1] - t.v[0], e2 = t.v[2] - t.v[0], ep = projected - t.v[0];
    const float d00 = Dot(e1, e1), d01 = Dot(e1, e2), d11 = Dot(e2, e2);
    const float d20 = Dot(ep, e1), d21 = Dot(ep, e2);
    const float denom = d00 * d11 - d01 * d01;
    const float v = SafeRatio(d11 * d20 - d01 * d21, denom);
    const float w = SafeRatio(d00 * d21 - d01 * d20, denom);
    const float slack = -1e-4f;
    tavVec3 towardSphere, closest;
    float dist;
    if (v >= slack && w >= slack && 1 - v - w >= slack)
    {
        towardSphere = faceSide;
        closest = projected;
        dist = std::fabs(plane);
    }
    else
    {
        float weights[3];
        closest = ClosestOnTriangle(centre, t.v[0], t.v[1], t.v[2], weights);
        if (OnInactiveFeature(t, closest))
            return false;
        const tavVec3 d = centre - closest;
        dist = Length(d);
        towardSphere = dist > 1e-6f ? d * (1.0f / dist) : faceSide;
    }
    const float s = dist - radius;
    if (s > maxSeparation)
        return false;
    out.normal = -towardSphere;
    out.count = 1;
    out.point[0] = (centre - towardSphere * radius + closest) * 0.5f;
    out.separation[0] = s;
    return true;
}

bool CollideConvex(const tavConvex& a, const tavConvex& b, float maxSeparation,
                   tavContactSet& out)
{
    const float margins = a.Margin() + b.Margin();
    const GjkResult g = Gjk(a, b, maxSeparation + margins);
    if (g.beyond)
        return false;
    tavVec3 n, wa, wb;
    float coreSeparation;
    if (!g.overlap && g.distance > 1e-4f)
    {
        n = (g.pB - g.pA) * (1.0f / g.distance);
        coreSeparation = g.distance;
        wa = g.pA;
        wb = g.pB;
        // A corner or seam of a flat stretch of triangles answers with the
        // face instead, as its neighbours would.
        if (b.triangle && OnInactiveFeature(*b.triangle, wb))
        {
            const tavMeshCollider::Triangle& t = *b.triangle;
            const tavVec3 up = Dot(a.Centre() - t.v[0], t.normal) >= 0 ? t.normal : -t.normal;
            wa = a.Support(-up);
            coreSeparation = Dot(wa - t.v[0], up);
            wb = wa - up * coreSeparation;
            n = -up;
        }
    }
    else
    {
        float overlap;
        LeastOverlap(a, b, n, overlap);
        coreSeparation = -overlap;
        wa = a.Support(n);
        wb = b.Support(-n);
    }
    if (coreSeparation - margins > maxSeparation)
        return false;
    if (ClipFaces(a, b, n, maxSeparation, out))
        return true;
    out.normal = n;
    out.count = 1;
    out.point[0] = (wa + n * a.Margin() + wb - n * b.Margin()) * 0.5f;
    out.separation[0] = coreSeparation - margins;
    return true;
}
