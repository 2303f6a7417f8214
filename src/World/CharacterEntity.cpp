#include "World/CharacterEntity.h"

CharacterEntity* currentCharacter = nullptr;
