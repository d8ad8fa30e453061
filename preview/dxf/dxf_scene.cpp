#include "dxf_scene.h"

#include <algorithm>
#include <cmath>

namespace dxf {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
// Points of a full circle or ellipse; arcs get their share.
constexpr int kCircleSegments = 72;
// Bulges are held below this: past it the arc is a circle of a radius no drawing has.
constexpr double kLargestBulge = 1000.0;
// Flattened points beyond this are dropped with their path, so that sums over the scene stay finite.
constexpr double kLargestCoordinate = 1e20;
// Samples of one spline, at most.
constexpr int kMostSplineSamples = 65536;
// Entities looked at and insertion cells opened, over the whole expansion: nested block arrays of
// empty blocks add no points but could otherwise run for ever.
constexpr std::size_t kMostVisits = 4000000;
// MTEXT line spacing as a multiple of the text height.
constexpr double kLineSpacing = 5.0 / 3.0;
// A text's width is estimated as this fraction of its height per character.
constexpr double kCharacterWidth = 0.6;

// x' = a x + b y + e, y' = c x + d y + f.
struct Transform
{
    double a = 1.0, b = 0.0, c = 0.0, d = 1.0, e = 0.0, f = 0.0;

    Point Apply(Point p) const { return {a * p.x + b * p.y + e, c * p.x + d * p.y + f}; }
    Point ApplyVector(Point p) const { return {a * p.x + b * p.y, c * p.x + d * p.y}; }
    // this after inner.
    Transform Then(const Transform& inner) const
    {
        Transform t;
        t.a = a * inner.a + b * inner.c;
        t.b = a * inner.b + b * inner.d;
        t.c = c * inner.a + d * inner.c;
        t.d = c * inner.b + d * inner.d;
        t.e = a * inner.e + b * inner.f + e;
        t.f = c * inner.e + d * inner.f + f;
        return t;
    }
    static Transform Translate(double x, double y)
    {
        Transform t;
        t.e = x;
        t.f = y;
        return t;
    }
    static Transform Rotate(double degrees)
    {
        const double r = degrees * kPi / 180.0;
        Transform t;
        t.a = std::cos(r);
        t.b = -std::sin(r);
        t.c = std::sin(r);
        t.d = std::cos(r);
        return t;
    }
    static Transform Scale(double x, double y)
    {
        Transform t;
        t.a = x;
        t.d = y;
        return t;
    }
};

bool Usable(Point p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= kLargestCoordinate &&
           std::fabs(p.y) <= kLargestCoordinate;
}

// Where an insertion stands: its transform, the layer and colour that layer-0 and BYBLOCK entities take.
struct Context
{
    Transform transform;
    std::string layer = "0";
    int colour = kColourForeground;
    int depth = 0;
    std::vector<std::string> blockStack;
};

void AppendArc(std::vector<Point>& out, Point centre, double radius, double start, double sweep)
{
    const int segments =
        std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / kTwoPi * kCircleSegments)));
    for (int i = 0; i <= segments; ++i) {
        const double angle = start + sweep * i / segments;
        out.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
}

// The points of the segment from a to b with the bulge b (after a), without a itself.
void AppendBulge(std::vector<Point>& out, const Vertex& a, const Vertex& b)
{
    const double bulge = std::clamp(a.bulge, -kLargestBulge, kLargestBulge);
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double chord = std::hypot(dx, dy);
    if (std::fabs(bulge) < 1e-9 || chord <= 0.0) {
        out.push_back({b.x, b.y});
        return;
    }
    // The centre lies on the chord's normal, (1 - b²) / 2b half-chords from its middle.
    const double offset = (1.0 - bulge * bulge) / (2.0 * bulge);
    const Point centre{(a.x + b.x) / 2.0 - dy / 2.0 * offset, (a.y + b.y) / 2.0 + dx / 2.0 * offset};
    const double radius = std::hypot(a.x - centre.x, a.y - centre.y);
    const double start = std::atan2(a.y - centre.y, a.x - centre.x);
    const double sweep = 4.0 * std::atan(bulge);
    std::vector<Point> arc;
    AppendArc(arc, centre, radius, start, sweep);
    out.insert(out.end(), arc.begin() + 1, arc.end() - 1);
    out.push_back({b.x, b.y});
}

// De Boor's evaluation of a (rational) B-spline at u in [knots[degree], knots[n + 1]].
Point SplinePoint(const Entity& e, const std::vector<double>& knots, const std::vector<double>& weights,
                  double u)
{
    const int p = e.degree;
    const int n = static_cast<int>(e.vertices.size()) - 1;
    // The span k with knots[k] <= u < knots[k + 1], within p..n.
    int k =
        static_cast<int>(std::upper_bound(knots.begin() + p, knots.begin() + n + 1, u) - knots.begin()) - 1;
    k = std::clamp(k, p, n);
    double x[16], y[16], w[16];
    for (int j = 0; j <= p; ++j) {
        const Vertex& v = e.vertices[static_cast<std::size_t>(j + k - p)];
        w[j] = weights[static_cast<std::size_t>(j + k - p)];
        x[j] = v.x * w[j];
        y[j] = v.y * w[j];
    }
    for (int r = 1; r <= p; ++r) {
        for (int j = p; j >= r; --j) {
            const double left = knots[static_cast<std::size_t>(j + k - p)];
            const double right = knots[static_cast<std::size_t>(j + 1 + k - r)];
            const double alpha = right > left ? (u - left) / (right - left) : 0.0;
            x[j] = (1.0 - alpha) * x[j - 1] + alpha * x[j];
            y[j] = (1.0 - alpha) * y[j - 1] + alpha * y[j];
            w[j] = (1.0 - alpha) * w[j - 1] + alpha * w[j];
        }
    }
    if (w[p] == 0.0 || !std::isfinite(w[p]))
        return {x[p], y[p]};
    return {x[p] / w[p], y[p] / w[p]};
}

void FlattenSpline(const Entity& e, std::vector<Point>& out)
{
    const std::size_t count = e.vertices.size();
    const int p = e.degree;
    if (count < static_cast<std::size_t>(p) + 1) {
        // Too few control points for the degree: the fit points, or the control polygon, stand in.
        if (!e.fitPoints.empty())
            out = e.fitPoints;
        else
            for (const Vertex& v : e.vertices)
                out.push_back({v.x, v.y});
        return;
    }
    // The knots must number control points + degree + 1 and never fall; otherwise a clamped uniform
    // vector takes their place.
    std::vector<double> knots = e.knots;
    const std::size_t needed = count + static_cast<std::size_t>(p) + 1;
    if (knots.size() != needed || !std::is_sorted(knots.begin(), knots.end())) {
        knots.assign(needed, 0.0);
        const std::size_t inner = count - static_cast<std::size_t>(p);
        for (std::size_t i = 0; i < needed; ++i) {
            if (i <= static_cast<std::size_t>(p))
                knots[i] = 0.0;
            else if (i >= count)
                knots[i] = 1.0;
            else
                knots[i] = static_cast<double>(i - static_cast<std::size_t>(p)) / static_cast<double>(inner);
        }
    }
    std::vector<double> weights = e.weights;
    if (weights.size() != count ||
        std::any_of(weights.begin(), weights.end(), [](double w) { return !(w > 0.0); }))
        weights.assign(count, 1.0);
    const double first = knots[static_cast<std::size_t>(p)];
    const double last = knots[count];
    if (!(last > first)) {
        for (const Vertex& v : e.vertices)
            out.push_back({v.x, v.y});
        return;
    }
    const std::size_t wanted = std::max<std::size_t>(16, count * 8);
    const int samples = static_cast<int>(std::min<std::size_t>(wanted, kMostSplineSamples));
    for (int i = 0; i <= samples; ++i) {
        const double u = i == samples ? last : first + (last - first) * i / samples;
        out.push_back(SplinePoint(e, knots, weights, u));
    }
}

// MTEXT's inline formatting removed: its lines as plain text.
std::vector<std::string> MTextLines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '}')
            continue;
        if (c != '\\' || i + 1 >= text.size()) {
            lines.back() += c;
            continue;
        }
        const char code = text[++i];
        switch (code) {
        case 'P':
            lines.emplace_back();
            break;
        case '~':
            lines.back() += ' ';
            break;
        case '\\':
        case '{':
        case '}':
            lines.back() += code;
            break;
        case 'L':
        case 'l':
        case 'O':
        case 'o':
        case 'K':
        case 'k':
            break;
        case 'S': {
            // Stacked text "a^b;" shown as "a/b".
            for (++i; i < text.size() && text[i] != ';'; ++i)
                lines.back() += (text[i] == '^' || text[i] == '#') ? '/' : text[i];
            break;
        }
        default:
            // \f \H \C \T \Q \W \A \p and the like carry an argument up to ';'.
            while (i < text.size() && text[i] != ';')
                ++i;
            break;
        }
    }
    return lines;
}

class SceneBuilder
{
public:
    SceneBuilder(const Drawing& drawing, Scene& scene) : m_drawing(drawing), m_scene(scene) {}

    void Entities(const std::vector<Entity>& entities, const Context& context)
    {
        for (const Entity& entity : entities) {
            if (Full())
                return;
            One(entity, context);
        }
    }

private:
    bool Full()
    {
        if (++m_visits > kMostVisits || m_scene.points.size() >= kMostScenePoints ||
            m_scene.texts.size() >= kMostSceneTexts)
            m_scene.truncated = true;
        return m_scene.truncated;
    }

    const Layer* FindLayer(const std::string& name) const
    {
        auto it = m_drawing.layers.find(NameKey(name));
        return it == m_drawing.layers.end() ? nullptr : &it->second;
    }

    // The layer an entity is drawn on: layer 0 inside a block takes the insertion's layer.
    std::string EffectiveLayer(const Entity& entity, const Context& context) const
    {
        return (entity.layer == "0" && context.depth > 0) ? context.layer : entity.layer;
    }

    // The colour number, or -1 when the entity's layer is off.
    int EffectiveColour(const Entity& entity, const Context& context) const
    {
        const std::string layerName = EffectiveLayer(entity, context);
        const Layer* layer = FindLayer(layerName);
        if (layer != nullptr && !layer->on)
            return -1;
        if (entity.colour == kColourByBlock)
            return context.colour;
        if (entity.colour == kColourByLayer)
            return layer != nullptr ? layer->colour : kColourForeground;
        return entity.colour;
    }

    void One(const Entity& e, const Context& context)
    {
        const int colour = EffectiveColour(e, context);
        if (colour < 0)
            return;
        if (e.kind == EntityKind::Insert) {
            Insert(e, context, colour);
            return;
        }
        // Planar entities in an extrusion along -Z are mirrored in X.
        const bool mirrored = e.extrusionZ < 0.0 && e.kind != EntityKind::Line &&
                              e.kind != EntityKind::Point && e.kind != EntityKind::Spline &&
                              e.kind != EntityKind::MText;
        Transform transform = context.transform;
        if (mirrored)
            transform = transform.Then(Transform::Scale(-1.0, 1.0));
        const Rgb rgb = ColourOfIndex(colour);
        std::vector<Point> points;
        switch (e.kind) {
        case EntityKind::Line:
            points = {e.p0, e.p1};
            break;
        case EntityKind::Point:
            points = {e.p0};
            break;
        case EntityKind::Circle:
            if (e.radius > 0.0)
                AppendArc(points, e.p0, e.radius, 0.0, kTwoPi);
            break;
        case EntityKind::Arc:
            if (e.radius > 0.0) {
                const double start = std::fmod(e.startAngle, 360.0);
                double sweep = std::fmod(e.endAngle, 360.0) - start;
                if (sweep <= 0.0)
                    sweep += 360.0;
                AppendArc(points, e.p0, e.radius, start * kPi / 180.0, sweep * kPi / 180.0);
            }
            break;
        case EntityKind::LwPolyline:
        case EntityKind::Polyline: {
            if (e.vertices.empty())
                break;
            points.push_back({e.vertices[0].x, e.vertices[0].y});
            for (std::size_t i = 1; i < e.vertices.size(); ++i)
                AppendBulge(points, e.vertices[i - 1], e.vertices[i]);
            if ((e.flags & 1) != 0 && e.vertices.size() > 1)
                AppendBulge(points, e.vertices.back(), e.vertices.front());
            break;
        }
        case EntityKind::Ellipse:
            Ellipse(e, points);
            break;
        case EntityKind::Spline:
            FlattenSpline(e, points);
            break;
        case EntityKind::Text:
            Text(e, transform, rgb);
            return;
        case EntityKind::MText:
            MText(e, transform, rgb);
            return;
        case EntityKind::Insert:
            return;
        }
        AddPath(points, transform, rgb);
    }

    void AddPath(const std::vector<Point>& points, const Transform& transform, Rgb rgb)
    {
        if (points.empty() || m_scene.points.size() + points.size() > kMostScenePoints) {
            if (!points.empty())
                m_scene.truncated = true;
            return;
        }
        const std::size_t first = m_scene.points.size();
        for (const Point& p : points) {
            const Point world = transform.Apply(p);
            if (!Usable(world)) {
                m_scene.points.resize(first);
                return;
            }
            m_scene.points.push_back(world);
        }
        for (std::size_t i = first; i < m_scene.points.size(); ++i)
            m_scene.extents.Add(m_scene.points[i].x, m_scene.points[i].y);
        m_scene.paths.push_back({rgb, first, points.size()});
    }

    static void Ellipse(const Entity& e, std::vector<Point>& points)
    {
        const double ratio = std::clamp(e.radius, 1e-6, 1.0);
        Point major = e.p1;
        Point minor{-major.y * ratio, major.x * ratio};
        if (e.extrusionZ < 0.0)
            minor = {-minor.x, -minor.y};
        double start = std::fmod(e.startParameter, kTwoPi);
        double sweep = std::fmod(e.endParameter, kTwoPi) - start;
        if (sweep <= 1e-12)
            sweep += kTwoPi;
        const int segments = std::max(4, static_cast<int>(std::ceil(sweep / kTwoPi * kCircleSegments)));
        for (int i = 0; i <= segments; ++i) {
            const double t = start + sweep * i / segments;
            points.push_back({e.p0.x + major.x * std::cos(t) + minor.x * std::sin(t),
                              e.p0.y + major.y * std::cos(t) + minor.y * std::sin(t)});
        }
    }

    // Places one line of text: anchor in entity coordinates, the line's direction in degrees.
    void Place(const std::string& line, Point anchor, double height, double rotation, int align,
               const Transform& transform, Rgb rgb)
    {
        if (line.empty() || !(height > 0.0))
            return;
        if (m_scene.texts.size() >= kMostSceneTexts) {
            m_scene.truncated = true;
            return;
        }
        const double r = rotation * kPi / 180.0;
        const Point along{std::cos(r), std::sin(r)};
        const Point up{-along.y, along.x};
        PlacedText placed;
        placed.colour = rgb;
        placed.position = transform.Apply(anchor);
        const Point worldAlong = transform.ApplyVector(along);
        const Point worldUp = transform.ApplyVector(up);
        placed.height = height * std::hypot(worldUp.x, worldUp.y);
        placed.rotation = std::atan2(worldAlong.y, worldAlong.x) * 180.0 / kPi;
        placed.align = align;
        placed.text = line;
        if (!Usable(placed.position) || !std::isfinite(placed.height) || !std::isfinite(placed.rotation))
            return;
        // The extents take the text's estimated box.
        const double width = kCharacterWidth * height * static_cast<double>(line.size());
        const double left = align == kAlignLeft ? 0.0 : align == kAlignCentre ? -width / 2.0 : -width;
        for (double u : {left, left + width}) {
            for (double v : {0.0, height}) {
                const Point corner =
                    transform.Apply({anchor.x + along.x * u + up.x * v, anchor.y + along.y * u + up.y * v});
                if (Usable(corner))
                    m_scene.extents.Add(corner.x, corner.y);
            }
        }
        m_scene.texts.push_back(std::move(placed));
    }

    void Text(const Entity& e, const Transform& transform, Rgb rgb)
    {
        // Aligned (3), middle (4) and fit (5) texts are placed by their middle; any alignment but the
        // default uses the second point.
        int align = kAlignLeft;
        if (e.horizontalAlign == 1 || e.horizontalAlign == 4)
            align = kAlignCentre;
        else if (e.horizontalAlign == 2)
            align = kAlignRight;
        else if (e.horizontalAlign == 3 || e.horizontalAlign == 5)
            align = kAlignCentre;
        const bool second = (e.horizontalAlign != 0 || e.verticalAlign != 0) && e.hasP1;
        Point anchor = second ? e.p1 : e.p0;
        if (e.horizontalAlign == 3 || e.horizontalAlign == 5)
            anchor = {(e.p0.x + e.p1.x) / 2.0, (e.p0.y + e.p1.y) / 2.0};
        // Bottom (1) sits on the baseline here; middle (2, and horizontal 4) and top (3) move it down.
        double drop = 0.0;
        if (e.verticalAlign == 2 || e.horizontalAlign == 4)
            drop = e.radius / 2.0;
        else if (e.verticalAlign == 3)
            drop = e.radius;
        const double r = e.startAngle * kPi / 180.0;
        anchor = {anchor.x + std::sin(r) * drop, anchor.y - std::cos(r) * drop};
        Place(e.text, anchor, e.radius, e.startAngle, align, transform, rgb);
    }

    void MText(const Entity& e, const Transform& transform, Rgb rgb)
    {
        double rotation = e.startAngle;
        if (e.hasP1 && (e.p1.x != 0.0 || e.p1.y != 0.0))
            rotation = std::atan2(e.p1.y, e.p1.x) * 180.0 / kPi;
        const std::vector<std::string> lines = MTextLines(e.text);
        const int attachment = std::clamp(e.attachment, 1, 9);
        const int column = (attachment - 1) % 3;
        const int row = (attachment - 1) / 3;
        const int align = column == 0 ? kAlignLeft : column == 1 ? kAlignCentre : kAlignRight;
        const double h = e.radius;
        const double blockHeight = h + (static_cast<double>(lines.size()) - 1.0) * kLineSpacing * h;
        // How far below the attachment point the first baseline lies.
        double firstDrop = h;
        if (row == 1)
            firstDrop = h - blockHeight / 2.0;
        else if (row == 2)
            firstDrop = h - blockHeight;
        const double r = rotation * kPi / 180.0;
        const Point down{std::sin(r), -std::cos(r)};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const double drop = firstDrop + static_cast<double>(i) * kLineSpacing * h;
            Place(lines[i], {e.p0.x + down.x * drop, e.p0.y + down.y * drop}, h, rotation, align, transform,
                  rgb);
        }
    }

    void Insert(const Entity& e, const Context& context, int colour)
    {
        const std::string key = NameKey(e.blockName);
        auto it = m_drawing.blocks.find(key);
        if (it == m_drawing.blocks.end() || context.depth >= kDeepestInsert)
            return;
        // A block that inserts itself, directly or through others, is drawn once and not again.
        if (std::find(context.blockStack.begin(), context.blockStack.end(), key) != context.blockStack.end())
            return;
        const Block& block = it->second;
        Transform mirror;
        if (e.extrusionZ < 0.0)
            mirror = Transform::Scale(-1.0, 1.0);
        Context inner;
        inner.layer = EffectiveLayer(e, context);
        inner.colour = colour;
        inner.depth = context.depth + 1;
        inner.blockStack = context.blockStack;
        inner.blockStack.push_back(key);
        const Transform place = context.transform.Then(mirror)
                                    .Then(Transform::Translate(e.p0.x, e.p0.y))
                                    .Then(Transform::Rotate(e.startAngle));
        const Transform local =
            Transform::Scale(e.scaleX, e.scaleY).Then(Transform::Translate(-block.base.x, -block.base.y));
        for (int row = 0; row < e.rows; ++row) {
            for (int column = 0; column < e.columns; ++column) {
                if (Full())
                    return;
                inner.transform =
                    place.Then(Transform::Translate(column * e.columnSpacing, row * e.rowSpacing))
                        .Then(local);
                Entities(block.entities, inner);
            }
        }
    }

    const Drawing& m_drawing;
    Scene& m_scene;
    std::size_t m_visits = 0;
};

} // namespace

void Box::Add(double x, double y)
{
    if (empty) {
        minX = maxX = x;
        minY = maxY = y;
        empty = false;
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

Rgb ColourOfIndex(int index)
{
    auto rgb = [](int r, int g, int b) {
        return static_cast<Rgb>(r) | (static_cast<Rgb>(g) << 8) | (static_cast<Rgb>(b) << 16);
    };
    static const Rgb kFirst[] = {rgb(255, 255, 255), rgb(255, 0, 0),    rgb(255, 255, 0), rgb(0, 255, 0),
                                 rgb(0, 255, 255),   rgb(0, 0, 255),    rgb(255, 0, 255), rgb(255, 255, 255),
                                 rgb(128, 128, 128), rgb(192, 192, 192)};
    if (index < 1 || index > 255)
        return kFirst[kColourForeground];
    if (index < 10)
        return kFirst[index];
    if (index >= 250) {
        static const int kGreys[] = {51, 91, 132, 173, 214, 255};
        const int grey = kGreys[index - 250];
        return rgb(grey, grey, grey);
    }
    // 10..249: 24 hues 15 degrees apart, each in five shades, full and half saturated in turn.
    const double hue = (index - 10) / 10 * 15.0;
    const int shade = index % 10;
    static const double kValues[] = {1.0, 0.8, 0.6, 0.5, 0.3};
    const double value = kValues[shade / 2];
    const double saturation = shade % 2 == 0 ? 1.0 : 0.5;
    const double chroma = value * saturation;
    const double h = hue / 60.0;
    const double x = chroma * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h)) {
    case 0:
        r = chroma;
        g = x;
        break;
    case 1:
        r = x;
        g = chroma;
        break;
    case 2:
        g = chroma;
        b = x;
        break;
    case 3:
        g = x;
        b = chroma;
        break;
    case 4:
        r = x;
        b = chroma;
        break;
    default:
        r = chroma;
        b = x;
        break;
    }
    const double m = value - chroma;
    auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return rgb(byte(r + m), byte(g + m), byte(b + m));
}

void BuildScene(const Drawing& drawing, Scene& scene)
{
    scene = Scene();
    SceneBuilder builder(drawing, scene);
    builder.Entities(drawing.entities, Context());
}

} // namespace dxf
