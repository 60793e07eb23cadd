#pragma once
// The readers recognise records by the keyword tests every user of the formats shares.

#include "ground/keyword_match.hpp"
