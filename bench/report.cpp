#include "report.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace bench {

namespace {

std::string Num(double v) {
  if (!std::isfinite(v)) return "null";
  char buf[64];
  if (v != 0 && std::fabs(v) < 0.01) std::snprintf(buf, sizeof buf, "%.4g", v);
  else std::snprintf(buf, sizeof buf, "%.3f", v);
  std::string s = buf;
  // Trailing zeros only make the table wider.
  if (s.find('.') != std::string::npos && s.find('e') == std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Pad(std::string s, size_t n) {
  if (s.size() < n) s.append(n - s.size(), ' ');
  return s;
}

}  // namespace

void Report::Add(std::string id, std::string name, double value, std::string unit, std::string note) {
  figures.push_back({std::move(id), std::move(name), value, std::move(unit), std::move(note)});
}

void Report::AtMost(std::string id, std::string text, double value, double limit, std::string note) {
  goals.push_back({std::move(id), std::move(text), value, limit, value <= limit, std::move(note)});
}

std::string Report::Table() const {
  std::ostringstream out;
  size_t w = 10;
  for (const Figure& f : figures) w = std::max(w, f.name.size());
  out << "| id | measurement" << std::string(w - 11, ' ') << " | value | unit | note |\n";
  out << "|---|" << std::string(w + 2, '-') << "|---:|---|---|\n";
  for (const Figure& f : figures)
    out << "| " << f.id << " | " << Pad(f.name, w) << " | " << Num(f.value) << " | " << f.unit << " | " << f.note
        << " |\n";
  out << "\n| id | goal | measured | limit | met | note |\n|---|---|---:|---:|---|---|\n";
  for (const Goal& g : goals)
    out << "| " << g.id << " | " << g.text << " | " << Num(g.value) << " | " << Num(g.limit) << " | "
        << (g.met ? "yes" : "**no**") << " | " << g.note << " |\n";
  return out.str();
}

std::string Report::Json() const {
  std::ostringstream out;
  out << "{\n  \"mode\": " << Quote(mode) << ",\n  \"machine\": " << Quote(machine) << ",\n  \"figures\": [\n";
  for (size_t i = 0; i < figures.size(); ++i) {
    const Figure& f = figures[i];
    out << "    {\"id\": " << Quote(f.id) << ", \"name\": " << Quote(f.name) << ", \"value\": " << Num(f.value)
        << ", \"unit\": " << Quote(f.unit) << ", \"note\": " << Quote(f.note) << "}"
        << (i + 1 < figures.size() ? "," : "") << "\n";
  }
  out << "  ],\n  \"goals\": [\n";
  for (size_t i = 0; i < goals.size(); ++i) {
    const Goal& g = goals[i];
    out << "    {\"id\": " << Quote(g.id) << ", \"goal\": " << Quote(g.text) << ", \"value\": " << Num(g.value)
        << ", \"limit\": " << Num(g.limit) << ", \"met\": " << (g.met ? "true" : "false")
        << ", \"note\": " << Quote(g.note) << "}" << (i + 1 < goals.size() ? "," : "") << "\n";
  }
  out << "  ]\n}\n";
  return out.str();
}

}  // namespace bench
