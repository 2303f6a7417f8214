# What `cmake --graphviz` draws (tools/make-layer-graph): the game's own
# libraries and program, and the outside libraries each layer links, not the
# files behind them, the tests or the probes.
set(GRAPHVIZ_GRAPH_NAME "Halcyra layers")
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "^upward_from_" "^halcyra_tests$" "^fuzz" "_bench$" "^/" "^-" "^dl$")
