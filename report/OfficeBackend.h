#pragma once

#include <memory>

class WordProcessor;

// The office suite's word processor, where the program was built with it and one answers;
// null otherwise.
std::unique_ptr<WordProcessor> CreateOfficeWordProcessor();
