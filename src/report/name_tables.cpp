#include "report/name_tables.h"

namespace tolvex {

const std::array<const char*, 8> path_names = {
    "Fire", "Air", "Water", "Earth", "Astral", "Death", "Nature", "Blood",
};

const std::array<const char*, 12> scale_names = {
    "Order",   "Productivity", "Heat", "Growth", "Fortune",    "Magic",
    "Turmoil", "Sloth",        "Cold", "Death",  "Misfortune", "Drain",
};

const std::array<const char*, 3> state_names = {"Awake", "Dormant", "Imprisoned"};

const std::array<const char*, 73> nation_names = {
    "Arcoscephale, Early Era",  // 0
    "Ermor, Early Era",
    "Ulm, Early Era",
    "Marverni, Early Era",
    "Sauromatia, Early Era",
    "T'ien Ch'i, Early Era",
    "(reserved), Early Era",
    "Mictlan, Early Era",
    "Abysia, Early Era",
    "Caelum, Early Era",
    "C'tis, Early Era",  // 10
    "Pangaea, Early Era",
    "Agartha, Early Era",
    "Tir na n'Og, Early Era",
    "Fomoria, Early Era",
    "Vanheim, Early Era",
    "Helheim, Early Era",
    "Niefelheim, Early Era",
    "Kailasa, Early Era",
    "Yomi, Early Era",
    "(reserved), Early Era",  // 20
    "Atlantis, Early Era",
    "R'lyeh, Early Era",
    "Oceania, Early Era",
    "Special Monsters",
    "Special Monsters",
    "Independents",
    "Arcoscephale, Middle Era",
    "Ermor, Middle Era",
    "Pythium, Middle Era",
    "Man, Middle Era",  // 30
    "Ulm, Middle Era",
    "Marignon, Middle Era",
    "Mictlan, Middle Era",
    "T'ien Ch'i, Middle Era",
    "Machaka, Middle Era",
    "Agartha, Middle Era",
    "Abysia, Middle Era",
    "Caelum, Middle Era",
    "'Ctis, Middle Era",
    "Pangaea, Middle Era",  // 40
    "Vanheim, Middle Era",
    "Jotunheim, Middle Era",
    "Bandar Log, Middle Era",
    "Shinuyama, Middle Era",
    "Gath, Middle Era",
    "Atlantis, Middle Era",
    "R'lyeh, Middle Era",
    "Oceania, Middle Era",
    "Arcoscephale, Late Era",
    "Ermor, Late Era",  // 50
    "Chelms, Late Era",
    "Ulm, Late Era",
    "Marignon, Late Era",
    "Mictlan, Late Era",
    "T'ien Ch'i, Late Era",
    "Jotunheim, Late Era",
    "Agartha, Late Era",
    "Abysia, Late Era",
    "Caelum, Late Era",
    "C'tis, Late Era",  // 60
    "Pangaea, Late Era",
    "Midgard, Late Era",
    "Utgard, Late Era",
    "Patala, Late Era",
    "Gath, Late Era",
    "Atlantis, Late Era",
    "R'lyeh, Late Era",
    "Lanka, Early Era",
    "Eriu, Middle Era",
    nullptr,  // 70
    nullptr,
    nullptr,
};

}  // namespace tolvex
