// Menus and items as byte records and as source text: the properties that
// differ from a fresh object, nested items and sub-menus included.
#include <algorithm>
#include <string>
#include <string_view>

#include "classes/menu.h"
#include "errors/errors.h"
#include "rt/strings.h"

namespace nx {

namespace {

// ---- Records: "O" objects, "A" arrays, any other value as its type letter
// and its text; lengths are 2-byte little-endian numbers.

bool PutLen(std::string& out, size_t n) {
  if (n > 0xFFFF) return false;
  out += char(n & 0xFF);
  out += char(n >> 8);
  return true;
}

bool PutText(std::string& out, std::string_view s) { return PutLen(out, s.size()) && (out += s, true); }

std::string ValueRecord(const Value& v);

std::string ObjectRecord(std::string_view cClass, const std::vector<std::pair<std::string, Value>>& props) {
  std::string body;
  if (!PutLen(body, props.size())) return {};
  for (const auto& [name, value] : props) {
    std::string rec = ValueRecord(value);
    if (!PutText(body, name) || rec.empty()) return {};
    body += rec;
  }
  std::string head;
  if (!PutText(head, cClass)) return {};
  std::string out = "O";
  if (!PutLen(out, head.size() + body.size())) return {};
  return out + head + body;
}

std::string ValueRecord(const Value& v) {
  if (v.IsArray()) {
    std::string body;
    if (!PutLen(body, Len(v.AsArray()))) return {};
    for (const Value& e : *v.AsArray()) {
      std::string rec = ValueRecord(e);
      if (rec.empty()) return {};
      body += rec;
    }
    std::string out = "A";
    return PutLen(out, body.size()) ? out + body : std::string();
  }
  if (auto menu = v.As<TMenu>()) return menu->Save();
  if (auto item = v.As<TMenuItem>()) return item->Save();
  std::string out(1, v.ValType());
  return PutText(out, cValToChar(v)) ? out : std::string();
}

class Reader {
 public:
  explicit Reader(std::string_view d) : d_(d) {}
  bool Len(size_t& n) {
    if (d_.size() - p_ < 2) return false;
    n = uint8_t(d_[p_]) | uint8_t(d_[p_ + 1]) << 8;
    p_ += 2;
    return true;
  }
  bool Bytes(size_t n, std::string_view& s) {
    if (d_.size() - p_ < n) return false;
    s = d_.substr(p_, n);
    p_ += n;
    return true;
  }
  bool Text(std::string& s) {
    size_t n = 0;
    std::string_view v;
    if (!Len(n) || !Bytes(n, v)) return false;
    s.assign(v);
    return true;
  }
  bool Byte(char& c) {
    if (p_ >= d_.size()) return false;
    c = d_[p_++];
    return true;
  }
  bool AtEnd() const { return p_ == d_.size(); }

 private:
  std::string_view d_;
  size_t p_ = 0;
};

bool ReadValue(Reader& r, Value& v, int depth);

// An object record's class and the values of its properties.
bool ReadObject(std::string_view data, std::string& cClass, std::vector<std::pair<std::string, Value>>& props,
                int depth) {
  Reader r(data);
  size_t count = 0;
  if (!r.Text(cClass) || !r.Len(count)) return false;
  for (size_t i = 0; i < count; ++i) {
    std::string name;
    Value value;
    if (!r.Text(name) || !ReadValue(r, value, depth)) return false;
    props.emplace_back(name, value);
  }
  return r.AtEnd();
}

bool ReadValue(Reader& r, Value& v, int depth) {
  if (depth > 32) return false;  // a hostile record nests without end
  char type = 0;
  size_t n = 0;
  std::string_view body;
  if (!r.Byte(type) || !r.Len(n) || !r.Bytes(n, body)) return false;
  switch (type) {
    case 'A': {
      Reader a(body);
      size_t count = 0;
      if (!a.Len(count)) return false;
      auto array = NewArray();
      for (size_t i = 0; i < count; ++i) {
        Value e;
        if (!ReadValue(a, e, depth + 1)) return false;
        AAdd(array, e);
      }
      v = Value(array);
      return a.AtEnd();
    }
    case 'O': {
      std::string cls;
      std::vector<std::pair<std::string, Value>> props;
      if (!ReadObject(body, cls, props, depth + 1)) return false;
      if (cls == "TMENU") {
        auto menu = TMenu::New();
        for (const auto& [name, value] : props) {
          if (name == "aItems" && value.IsArray()) {
            for (const Value& e : *value.AsArray())
              if (auto item = e.As<TMenuItem>()) menu->Add(item);
          } else if (name == "cVarName") {
            menu->cVarName = value.AsString();
          }
        }
        v = Value(menu);
      } else if (cls == "TMENUITEM") {
        auto item = TMenuItem::New();
        for (const auto& [name, value] : props) item->SetProperty(name, value);
        v = Value(item);
      } else {
        return false;
      }
      return true;
    }
    case 'C': v = Value(std::string(body)); return true;
    case 'L': v = Value(body == ".T."); return true;
    case 'N': v = Val(body); return true;
    case 'U': v = Value(); return true;
    case 'B': v = Value(); return true;  // a block's text does not become code again
    default: return false;
  }
}

std::string Quoted(const Value& v) { return v.IsString() ? "\"" + v.AsString() + "\"" : cValToChar(v); }

// A window method without arguments, by name, for events stored as text.
MenuEvent SendToWindow(const std::string& cMsg) {
  return [cMsg](const TWindowPtr& w, TMenuItem&) {
    if (!w) return;
    const std::string m = Upper(cMsg);
    if (m == "END") w->End();
    else if (m == "REFRESH") w->Refresh();
    else if (m == "SHOW") w->Show();
    else if (m == "HIDE") w->Hide();
    else if (m == "MAXIMIZE") w->Maximize();
    else if (m == "MINIMIZE") w->Minimize();
    else if (m == "NORMAL") w->Normal();
    else if (m == "RESTORE") w->Restore();
    else if (m == "CENTER") w->Center();
    else if (m == "SETFOCUS") w->SetFocus();
    else if (m == "HELPTOPIC") w->HelpTopic();
    else _ClsSetError(_GenError(1004, w->ClassName(), m));
  };
}

std::string ObjectText(const std::string& cClass, const std::string& cVar,
                       const std::vector<std::pair<std::string, Value>>& props, const std::vector<std::string>& events,
                       int nIndent);

std::string ValueText(const Value& v, int nIndent) {
  if (auto menu = v.As<TMenu>()) return "\r\n" + menu->SaveToText(nIndent);
  if (auto item = v.As<TMenuItem>()) return "\r\n" + item->SaveToText(nIndent);
  if (!v.IsArray()) return Quoted(v);
  std::string out = "Array( " + std::to_string(Len(v.AsArray())) + " )";
  for (const Value& e : *v.AsArray()) {
    if (e.IsObject()) out += ValueText(e, nIndent);
    else out += "\r\n" + std::string(size_t(nIndent), ' ') + ValueText(e, nIndent);
  }
  return out;
}

std::string ObjectText(const std::string& cClass, const std::string& cVar,
                       const std::vector<std::pair<std::string, Value>>& props, const std::vector<std::string>& events,
                       int nIndent) {
  const std::string pad(size_t(std::max(nIndent, 0)), ' ');
  std::string out = pad + "OBJECT ::" + cVar + " AS " + cClass + "\r\n";
  for (const auto& [name, value] : props) out += pad + "   ::" + name + " = " + ValueText(value, nIndent + 6) + "\r\n";
  for (const auto& name : events) out += pad + "   ::" + name + " = {|| ... }\r\n";
  return out + pad + "ENDOBJECT";
}

// A whole record made by Save(): the properties of an object of class cClass.
bool ReadRecord(std::string_view cData, std::string_view cClass, std::vector<std::pair<std::string, Value>>& props) {
  Reader r(cData);
  char type = 0;
  size_t n = 0;
  std::string_view body;
  std::string cls;
  return r.Byte(type) && type == 'O' && r.Len(n) && r.Bytes(n, body) && r.AtEnd() &&
         ReadObject(body, cls, props, 0) && cls == cClass;
}

// The properties whose values differ from a new item's.
std::vector<std::pair<std::string, Value>> ChangedProps(const TMenuItem& item) {
  const TMenuItem fresh;
  std::vector<std::pair<std::string, Value>> props;
  for (const auto& name : TMenuItem::aProperties()) {
    Value now = item.GetProperty(name);
    if (!(now == fresh.GetProperty(name))) props.emplace_back(name, now);
  }
  return props;
}

}  // namespace

// ---- TMenuItem ------------------------------------------------------------------------

const std::vector<std::string>& TMenuItem::aProperties() {
  static const std::vector<std::string> names{"cCaption", "cMsg",   "cVarName", "lActive",
                                              "lBreak",   "lChecked", "bAction", "nId"};
  return names;
}

const std::vector<std::pair<std::string, std::string>>& TMenuItem::aEvents() {
  static const std::vector<std::pair<std::string, std::string>> events{{"OnActivate", "oMenuItem"},
                                                                        {"OnClick", "oMenuItem"}};
  return events;
}

Value TMenuItem::GetProperty(std::string_view cName) const {
  if (cName == "cCaption") return cPrompt.empty() ? Value() : Value(cPrompt);
  if (cName == "cMsg") return cMsg.empty() ? Value() : Value(cMsg);
  if (cName == "cVarName") return cVarName.empty() ? Value() : Value(cVarName);
  if (cName == "lActive") return lActive;
  if (cName == "lBreak") return lBreak;
  if (cName == "lChecked") return lChecked;
  if (cName == "bAction") {
    if (bAction.IsMenu()) return Value(bAction.Menu());
    if (bAction.IsBlock()) return Value(MakeBlock([](std::span<const Value>) { return Value(); }));
    return Value();
  }
  if (cName == "nId") return nId ? Value(int64_t(nId)) : Value();
  return Value();
}

bool TMenuItem::SetProperty(std::string_view cName, const Value& v) {
  if (cName.starts_with("On") && v.IsString()) {
    if (cName == "OnClick") OnClick = SendToWindow(v.AsString());
    else if (cName == "OnActivate") OnActivate = SendToWindow(v.AsString());
    else return false;
    return true;
  }
  if (cName == "cCaption") SetPrompt(v.AsString());
  else if (cName == "cMsg") cMsg = v.AsString();
  else if (cName == "cVarName") cVarName = v.AsString();
  else if (cName == "lActive") v.AsLogical() ? Enable() : Disable();
  else if (cName == "lBreak") lBreak = v.AsLogical();
  else if (cName == "lChecked") SetCheck(v.AsLogical());
  else if (cName == "bAction") bAction = v.As<TMenu>();
  else if (cName == "nId") TakeId(UINT(v.AsInt()));
  else return false;
  return true;
}

std::string TMenuItem::Save() const { return ObjectRecord(ClassName(), ChangedProps(*this)); }

bool TMenuItem::Load(std::string_view cData) {
  std::vector<std::pair<std::string, Value>> props;
  if (!ReadRecord(cData, ClassName(), props)) return false;
  for (const auto& [name, value] : props) SetProperty(name, value);
  return true;
}

std::string TMenuItem::SaveToText(int nIndent) const {
  const auto props = ChangedProps(*this);
  std::vector<std::string> events;
  if (OnActivate) events.push_back("OnActivate");
  if (OnClick) events.push_back("OnClick");
  return ObjectText("TMenuItem", cVarName.empty() ? "oMItem" + std::to_string(nId) : cVarName, props, events,
                    nIndent);
}

// ---- TMenu --------------------------------------------------------------------------------

const std::vector<std::string>& TMenu::aProperties() {
  static const std::vector<std::string> names{"aItems", "cVarName"};
  return names;
}

const std::vector<std::pair<std::string, std::string>>& TMenu::aEvents() {
  static const std::vector<std::pair<std::string, std::string>> events{{"OnInit", "oMenu"}};
  return events;
}

namespace {
std::vector<std::pair<std::string, Value>> MenuProps(const TMenu& m) {
  std::vector<std::pair<std::string, Value>> props;
  if (!m.aMenuItems.empty()) {
    auto items = NewArray();
    for (const auto& item : m.aMenuItems)
      if (item) AAdd(items, Value(item));
    props.emplace_back("aItems", Value(items));
  }
  if (!m.cVarName.empty()) props.emplace_back("cVarName", Value(m.cVarName));
  return props;
}
}  // namespace

std::string TMenu::Save() const { return ObjectRecord(ClassName(), MenuProps(*this)); }

bool TMenu::Load(std::string_view cData) {
  std::vector<std::pair<std::string, Value>> props;
  if (!ReadRecord(cData, ClassName(), props)) return false;
  for (const auto& [name, value] : props) {
    if (name == "aItems" && value.IsArray()) {
      std::vector<TMenuItemPtr> items;
      for (const Value& e : *value.AsArray())
        if (auto item = e.As<TMenuItem>()) items.push_back(item);
      aItems(items);
    } else if (name == "cVarName") {
      cVarName = value.AsString();
    }
  }
  return true;
}

std::string TMenu::SaveToText(int nIndent) const {
  std::vector<std::string> events;
  if (OnInit) events.push_back("OnInit");
  return ObjectText("TMenu", cVarName.empty() ? "oMenu" : cVarName, MenuProps(*this), events, nIndent);
}

}  // namespace nx
