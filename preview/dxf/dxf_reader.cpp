#include "dxf_model.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace dxf {

namespace {

// Coordinates, sizes and factors beyond this are taken as damage: no real drawing reaches them, and
// keeping them away lets every later product and sum stay finite.
constexpr double kLargestValue = 1e20;
// Counts from the file (MINSERT columns and rows, spline degree) are held to these.
constexpr int kMostInsertCells = 1000000;
constexpr int kHighestSplineDegree = 10;

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// The file as group code and value pairs, one line each.
class GroupReader
{
public:
    GroupReader(const char* data, std::size_t size) : m_data(data), m_size(size) {}

    // False at the end of the data; a code line that is not a number ends the reading with bad() set.
    bool Next(int& code, std::string_view& value)
    {
        std::string_view codeLine;
        if (!ReadLine(codeLine))
            return false;
        codeLine = Trim(codeLine);
        if (codeLine.empty() || codeLine.size() > 6) {
            m_bad = true;
            return false;
        }
        int parsed = 0;
        std::size_t at = 0;
        const bool negative = codeLine[0] == '-';
        if (negative)
            at = 1;
        if (at == codeLine.size()) {
            m_bad = true;
            return false;
        }
        for (; at < codeLine.size(); ++at) {
            if (!std::isdigit(static_cast<unsigned char>(codeLine[at]))) {
                m_bad = true;
                return false;
            }
            parsed = parsed * 10 + (codeLine[at] - '0');
        }
        code = negative ? -parsed : parsed;
        // A code without its value line ends the data.
        if (!ReadLine(value))
            return false;
        return true;
    }

    bool bad() const { return m_bad; }
    std::size_t offset() const { return m_offset; }

private:
    bool ReadLine(std::string_view& line)
    {
        if (m_offset >= m_size)
            return false;
        std::size_t end = m_offset;
        while (end < m_size && m_data[end] != '\n')
            ++end;
        std::size_t lineEnd = end;
        if (lineEnd > m_offset && m_data[lineEnd - 1] == '\r')
            --lineEnd;
        line = std::string_view(m_data + m_offset, lineEnd - m_offset);
        m_offset = end < m_size ? end + 1 : m_size;
        return true;
    }

    const char* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
    bool m_bad = false;
};

// A real value, or false when the text is not a finite number within the range a drawing uses.
bool ParseReal(std::string_view value, double& result)
{
    const std::string text(Trim(value));
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(parsed) || std::fabs(parsed) > kLargestValue)
        return false;
    result = parsed;
    return true;
}

bool ParseInt(std::string_view value, int& result)
{
    const std::string text(Trim(value));
    if (text.empty())
        return false;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0')
        return false;
    result = static_cast<int>(parsed < -2147483647LL  ? -2147483647LL
                              : parsed > 2147483647LL ? 2147483647LL
                                                      : parsed);
    return true;
}

bool KindOf(std::string_view name, EntityKind& kind)
{
    static const struct
    {
        const char* name;
        EntityKind kind;
    } kKinds[] = {{"LINE", EntityKind::Line},
                  {"POINT", EntityKind::Point},
                  {"CIRCLE", EntityKind::Circle},
                  {"ARC", EntityKind::Arc},
                  {"LWPOLYLINE", EntityKind::LwPolyline},
                  {"POLYLINE", EntityKind::Polyline},
                  {"TEXT", EntityKind::Text},
                  {"MTEXT", EntityKind::MText},
                  {"INSERT", EntityKind::Insert},
                  {"ELLIPSE", EntityKind::Ellipse},
                  {"SPLINE", EntityKind::Spline}};
    for (const auto& entry : kKinds) {
        if (name == entry.name) {
            kind = entry.kind;
            return true;
        }
    }
    return false;
}

// What the record that is being read is.
enum class Record
{
    None,    // groups are skipped until the next 0 group
    Section, // waiting for the section's name
    HeaderVariable,
    Layer,
    Block,
    Entity,
    Vertex
};

enum class Section
{
    None,
    Header,
    Tables,
    Blocks,
    Entities,
    Other
};

class DrawingReader
{
public:
    DrawingReader(Drawing& drawing) : m_drawing(drawing) {}

    void Group(int code, std::string_view value)
    {
        if (code == 0) {
            FinishRecord();
            StartRecord(Trim(value));
            return;
        }
        switch (m_record) {
        case Record::Section:
            if (code == 2) {
                m_section = SectionOf(Trim(value));
                // The header's variables are 9 groups, not records of their own.
                if (m_section == Section::Header)
                    m_record = Record::HeaderVariable;
            }
            break;
        case Record::HeaderVariable:
            HeaderGroup(code, value);
            break;
        case Record::Layer:
            LayerGroup(code, value);
            break;
        case Record::Block:
            BlockGroup(code, value);
            break;
        case Record::Entity:
            EntityGroup(code, value);
            break;
        case Record::Vertex:
            VertexGroup(code, value);
            break;
        case Record::None:
            break;
        }
    }

    void Finish()
    {
        FinishRecord();
        ClosePolyline();
        CloseBlock();
    }

private:
    static Section SectionOf(std::string_view name)
    {
        if (name == "HEADER")
            return Section::Header;
        if (name == "TABLES")
            return Section::Tables;
        if (name == "BLOCKS")
            return Section::Blocks;
        if (name == "ENTITIES")
            return Section::Entities;
        return Section::Other;
    }

    void StartRecord(std::string_view name)
    {
        m_record = Record::None;
        if (name == "SECTION") {
            ClosePolyline();
            m_record = Record::Section;
            m_section = Section::None;
            return;
        }
        if (name == "ENDSEC") {
            ClosePolyline();
            CloseBlock();
            m_section = Section::None;
            return;
        }
        if (m_section == Section::Tables && name == "LAYER") {
            m_record = Record::Layer;
            m_layerName.clear();
            m_layer = Layer();
            return;
        }
        if (m_section == Section::Blocks && name == "BLOCK") {
            ClosePolyline();
            CloseBlock();
            m_record = Record::Block;
            m_block = Block();
            m_blockName.clear();
            m_inBlock = true;
            return;
        }
        if (m_section == Section::Blocks && name == "ENDBLK") {
            ClosePolyline();
            CloseBlock();
            return;
        }
        const bool entities = m_section == Section::Entities || (m_section == Section::Blocks && m_inBlock);
        if (!entities)
            return;
        if (name == "VERTEX") {
            if (m_openPolyline)
                m_record = Record::Vertex;
            m_vertex = Vertex();
            m_vertexFlags = 0;
            m_vertexValid = true;
            return;
        }
        if (name == "SEQEND") {
            ClosePolyline();
            return;
        }
        // ATTRIB records after an INSERT belong to it; any other entity ends an open polyline.
        if (name != "ATTRIB")
            ClosePolyline();
        EntityKind kind;
        if (!KindOf(name, kind))
            return;
        m_record = Record::Entity;
        m_entity = Entity();
        m_entity.kind = kind;
        if (kind == EntityKind::Text || kind == EntityKind::MText)
            m_entity.radius = 1.0;
        m_entityValid = true;
        m_paperSpace = false;
    }

    void FinishRecord()
    {
        switch (m_record) {
        case Record::Layer:
            if (!m_layerName.empty())
                m_drawing.layers[NameKey(m_layerName)] = m_layer;
            break;
        case Record::Entity:
            FinishEntity();
            break;
        case Record::Vertex:
            // Polyface face records (128) and spline frame control points (16) are not outline vertices.
            if (m_vertexValid && m_openPolyline && (m_vertexFlags & (16 | 128)) == 0)
                m_polyline.vertices.push_back(m_vertex);
            break;
        default:
            break;
        }
        m_record = Record::None;
    }

    void FinishEntity()
    {
        if (!m_entityValid || m_paperSpace)
            return;
        if (m_entity.kind == EntityKind::Polyline) {
            // Meshes and polyface meshes are left out; their vertices are no outline.
            if ((m_entity.flags & (16 | 64)) != 0)
                return;
            m_polyline = std::move(m_entity);
            m_polyline.vertices.clear();
            m_openPolyline = true;
            return;
        }
        Store(std::move(m_entity));
    }

    void Store(Entity&& entity)
    {
        if (m_section == Section::Blocks) {
            if (m_inBlock)
                m_block.entities.push_back(std::move(entity));
            return;
        }
        m_drawing.entities.push_back(std::move(entity));
    }

    void ClosePolyline()
    {
        if (!m_openPolyline)
            return;
        m_openPolyline = false;
        if (!m_polyline.vertices.empty())
            Store(std::move(m_polyline));
        m_polyline = Entity();
    }

    void CloseBlock()
    {
        if (!m_inBlock)
            return;
        m_inBlock = false;
        if (!m_blockName.empty())
            m_drawing.blocks[NameKey(m_blockName)] = std::move(m_block);
        m_block = Block();
    }

    void HeaderGroup(int code, std::string_view value)
    {
        if (code == 9) {
            m_variable = std::string(Trim(value));
            return;
        }
        double real = 0.0;
        if ((code != 10 && code != 20) || !ParseReal(value, real))
            return;
        if (m_variable == "$EXTMIN")
            (code == 10 ? m_drawing.headerMin.x : m_drawing.headerMin.y) = real;
        else if (m_variable == "$EXTMAX")
            (code == 10 ? m_drawing.headerMax.x : m_drawing.headerMax.y) = real;
        else
            return;
        m_drawing.hasHeaderExtents = true;
    }

    void LayerGroup(int code, std::string_view value)
    {
        int number = 0;
        if (code == 2) {
            m_layerName = std::string(Trim(value));
        } else if (code == 62 && ParseInt(value, number)) {
            // A negative colour number marks a layer that is off.
            m_layer.on = m_layer.on && number >= 0;
            m_layer.colour = number < 0 ? -number : number;
        } else if (code == 70 && ParseInt(value, number)) {
            if ((number & 1) != 0) // frozen
                m_layer.on = false;
        }
    }

    void BlockGroup(int code, std::string_view value)
    {
        if (code == 2)
            m_blockName = std::string(Trim(value));
        else if (code == 10)
            Real(value, m_block.base.x, m_blockValid);
        else if (code == 20)
            Real(value, m_block.base.y, m_blockValid);
    }

    void VertexGroup(int code, std::string_view value)
    {
        switch (code) {
        case 10:
            Real(value, m_vertex.x, m_vertexValid);
            break;
        case 20:
            Real(value, m_vertex.y, m_vertexValid);
            break;
        case 42:
            Real(value, m_vertex.bulge, m_vertexValid);
            break;
        case 70:
            ParseInt(value, m_vertexFlags);
            break;
        default:
            break;
        }
    }

    static void Real(std::string_view value, double& target, bool& valid)
    {
        if (!ParseReal(value, target))
            valid = false;
    }

    void Real(std::string_view value, double& target) { Real(value, target, m_entityValid); }

    void Integer(std::string_view value, int& target)
    {
        if (!ParseInt(value, target))
            m_entityValid = false;
    }

    void EntityGroup(int code, std::string_view value)
    {
        Entity& e = m_entity;
        switch (code) {
        case 8:
            e.layer = std::string(Trim(value));
            return;
        case 62:
            Integer(value, e.colour);
            if (e.colour < 0) // off, as its layer would be
                m_entityValid = false;
            return;
        case 67: {
            int space = 0;
            ParseInt(value, space);
            m_paperSpace = space != 0;
            return;
        }
        case 230:
            Real(value, e.extrusionZ);
            return;
        default:
            break;
        }
        switch (e.kind) {
        case EntityKind::LwPolyline:
            if (code == 10) {
                e.vertices.emplace_back();
                Real(value, e.vertices.back().x);
            } else if (code == 20 && !e.vertices.empty()) {
                Real(value, e.vertices.back().y);
            } else if (code == 42 && !e.vertices.empty()) {
                Real(value, e.vertices.back().bulge);
            } else if (code == 70) {
                Integer(value, e.flags);
            }
            return;
        case EntityKind::Spline:
            SplineGroup(code, value);
            return;
        default:
            break;
        }
        switch (code) {
        case 1:
            // MTEXT carries its text in 3 groups of 250 characters and a last 1 group.
            e.text += std::string(value);
            break;
        case 3:
            if (e.kind == EntityKind::MText)
                e.text += std::string(value);
            break;
        case 2:
            e.blockName = std::string(Trim(value));
            break;
        case 10:
            Real(value, e.p0.x);
            break;
        case 20:
            Real(value, e.p0.y);
            break;
        case 11:
            Real(value, e.p1.x);
            e.hasP1 = true;
            break;
        case 21:
            Real(value, e.p1.y);
            e.hasP1 = true;
            break;
        case 40:
            Real(value, e.radius);
            break;
        case 41:
            Real(value, e.kind == EntityKind::Ellipse ? e.startParameter : e.scaleX);
            break;
        case 42:
            Real(value, e.kind == EntityKind::Ellipse ? e.endParameter : e.scaleY);
            break;
        case 44:
            Real(value, e.columnSpacing);
            break;
        case 45:
            Real(value, e.rowSpacing);
            break;
        case 50:
            Real(value, e.startAngle);
            break;
        case 51:
            Real(value, e.endAngle);
            break;
        case 70:
            Integer(value, e.kind == EntityKind::Insert ? e.columns : e.flags);
            break;
        case 71:
            Integer(value, e.kind == EntityKind::Insert ? e.rows : e.attachment);
            break;
        case 72:
            Integer(value, e.horizontalAlign);
            break;
        case 73:
            Integer(value, e.verticalAlign);
            break;
        default:
            break;
        }
        if (e.kind == EntityKind::Insert) {
            if (e.columns < 1 || e.rows < 1 || static_cast<long long>(e.columns) * e.rows > kMostInsertCells)
                m_entityValid = false;
        }
    }

    void SplineGroup(int code, std::string_view value)
    {
        Entity& e = m_entity;
        switch (code) {
        case 10:
            e.vertices.emplace_back();
            Real(value, e.vertices.back().x);
            break;
        case 20:
            if (!e.vertices.empty())
                Real(value, e.vertices.back().y);
            break;
        case 11:
            e.fitPoints.emplace_back();
            Real(value, e.fitPoints.back().x);
            break;
        case 21:
            if (!e.fitPoints.empty())
                Real(value, e.fitPoints.back().y);
            break;
        case 40: {
            double knot = 0.0;
            Real(value, knot);
            e.knots.push_back(knot);
            break;
        }
        case 41: {
            double weight = 1.0;
            Real(value, weight);
            e.weights.push_back(weight);
            break;
        }
        case 70:
            Integer(value, e.flags);
            break;
        case 71:
            Integer(value, e.degree);
            if (e.degree < 1 || e.degree > kHighestSplineDegree)
                m_entityValid = false;
            break;
        default:
            break;
        }
    }

    Drawing& m_drawing;
    Section m_section = Section::None;
    Record m_record = Record::None;
    std::string m_variable;
    std::string m_layerName;
    Layer m_layer;
    Block m_block;
    std::string m_blockName;
    bool m_inBlock = false;
    bool m_blockValid = true;
    Entity m_entity;
    bool m_entityValid = true;
    bool m_paperSpace = false;
    Entity m_polyline;
    bool m_openPolyline = false;
    Vertex m_vertex;
    int m_vertexFlags = 0;
    bool m_vertexValid = true;
};

} // namespace

std::string NameKey(const std::string& name)
{
    std::string key = name;
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

bool ReadDrawing(const char* data, std::size_t size, Drawing& drawing, std::string& error,
                 const ProgressFunction& progress)
{
    drawing = Drawing();
    int reported = -1;
    auto report = [&](int percent) {
        if (progress && percent != reported) {
            reported = percent;
            progress(percent);
        }
    };
    report(0);
    GroupReader reader(data, size);
    DrawingReader builder(drawing);
    int code = 0;
    std::string_view value;
    bool sawSection = false;
    while (reader.Next(code, value)) {
        if (code == 0 && Trim(value) == "EOF")
            break;
        if (code == 0 && Trim(value) == "SECTION")
            sawSection = true;
        builder.Group(code, value);
        if (size > 0)
            report(static_cast<int>(static_cast<double>(reader.offset()) * 99.0 / static_cast<double>(size)));
    }
    if (reader.bad() || !sawSection) {
        error = reader.bad() ? "a group code is not a number" : "no section";
        drawing = Drawing();
        return false;
    }
    builder.Finish();
    report(100);
    return true;
}

} // namespace dxf
