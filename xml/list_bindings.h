// List bindings: short-lived XmlNode objects that present one container of the
// model as repeated child elements. They own nothing; each lives only inside
// its owner's Load or Save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "model/records.h"
#include "xml/xml_node.h"

namespace dravonix {

class SubKeyDefinition;

/// The "rect" children of a shape.
class RectShape : public XmlNode {
public:
    explicit RectShape(std::vector<RectRecord>& list) : list_(&list) {}
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

private:
    std::vector<RectRecord>* list_;
};

/// The "ellipse" children of a shape.
class EllipseShape : public XmlNode {
public:
    explicit EllipseShape(std::vector<EllipseRecord>& list) : list_(&list) {}
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

private:
    std::vector<EllipseRecord>* list_;
};

/// The "roundrect" children of a shape.
class RoundRectShape : public XmlNode {
public:
    explicit RoundRectShape(std::vector<RoundRectRecord>& list) : list_(&list) {}
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

private:
    std::vector<RoundRectRecord>* list_;
};

/// The "polygon" children of a shape, each with its "point" children.
class PolygonShape : public XmlNode {
public:
    explicit PolygonShape(std::vector<PolygonRecord>& list) : list_(&list) {}
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

private:
    std::vector<PolygonRecord>* list_;
};

/// The "point" children of one polygon.
class PolygonPoint : public XmlNode {
public:
    explicit PolygonPoint(std::vector<PointRecord>& list) : list_(&list) {}
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

private:
    std::vector<PointRecord>* list_;
};

/// The "mkey" children of a macro.
class MacroKeyList : public XmlNode {
public:
    explicit MacroKeyList(std::vector<MacroKey>& list) : list_(&list) {}
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

private:
    std::vector<MacroKey>* list_;
};

/// The "sound" children of a panel.
class SoundList : public XmlNode {
public:
    explicit SoundList(SoundTable& sounds) : sounds_(&sounds) {}
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

private:
    /// Tells an observed read of the sound just read: the line of the first
    /// of an id is kept, a later one (not added) is reported.
    void NoteSound(std::int32_t id, bool added);

    SoundTable* sounds_;
    std::map<std::int32_t, std::size_t> first_lines_;  // by id, in an observed read
};

/// The two "jpeg" children of a panel (its normal and pressed images).
class KeyImages : public XmlNode {
public:
    explicit KeyImages(SubKeyDefinition& panel) : panel_(&panel) {}
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

private:
    SubKeyDefinition* panel_;
};

}  // namespace dravonix
