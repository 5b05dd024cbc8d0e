#include "config/CardFamilies.h"

namespace tavrin {

const CardFamily* FamilyOfPanel(Panel panel) {
  for (const CardFamily& family : kCardFamilies) {
    for (const CardKind& kind : family.Kinds()) {
      if (kind.panel == panel) return &family;
    }
  }
  return nullptr;
}

const CardKind* KindOfPanel(Panel panel) {
  const CardFamily* family = FamilyOfPanel(panel);
  if (family == nullptr) return nullptr;
  for (const CardKind& kind : family->Kinds()) {
    if (kind.panel == panel) return &kind;
  }
  return nullptr;
}

bool Capabilities::Has(const CardFamily& family) const {
  return (bytes_[0] & family.capabilityBit) != 0;
}

bool Capabilities::Has(const CardFamily& family, const CardKind& kind) const {
  return Has(family) && (bytes_[family.kindsByte] & kind.capabilityBit) != 0;
}

std::vector<SupportedFamily> Capabilities::Supported() const {
  std::vector<SupportedFamily> supported;
  for (const CardFamily& family : kCardFamilies) {
    if (!Has(family)) continue;
    SupportedFamily& entry = supported.emplace_back(SupportedFamily{&family, {}});
    for (const CardKind& kind : family.Kinds()) {
      if (Has(family, kind)) entry.kinds.push_back(&kind);
    }
  }
  return supported;
}

}  // namespace tavrin
