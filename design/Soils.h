#pragma once

#include <array>
#include <string_view>

struct Soil {
    std::string_view item; // the list item: the soil's name, a hyphen and its resistivity
    double resistivity;    // Ω·m
};

// Typical specific resistances of soils, as the handbooks of earthing design tabulate them.
// A list item's resistivity belongs to its position.
inline constexpr std::array<Soil, 18> kSoils{{
    {"Торф-25", 25},
    {"Чернозём-50", 50},
    {"Глина-60", 60},
    {"Суглинок-80", 80},
    {"Кокс-2,5", 2.5},
    {"Лесс-250", 250},
    {"Каменный уголь-130", 130},
    {"Садовая земля-40", 40},
    {"Речная вода-1000", 1000},
    {"Дно реки-200", 200},
    {"Песок-500", 500},
    {"Песчаник-1000", 1000},
    {"Супесок-300", 300},
    {"Кварц-15000", 15000},
    {"Пористый известняк-180", 180},
    {"Плотный известняк-3000", 3000},
    {"Гранит-1100", 1100},
    {"Смешанный грунт-10", 10},
}};
