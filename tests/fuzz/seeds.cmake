# Copies the seed files of every fuzz target into OUT/<part>: the generated
# assets of that kind, and for PNG the test files too; for the kept files
# the examples in the test data.
foreach(part png md3 cfg skin wav)
    file(REMOVE_RECURSE ${OUT}/${part})
    file(GLOB_RECURSE seeds ${ASSETS}/*.${part})
    if(part STREQUAL "png")
        file(GLOB_RECURSE test_png ${SHARED_PNG}/*.png ${TEST_PNG}/*.png)
        list(APPEND seeds ${test_png})
    endif()
    file(COPY ${seeds} DESTINATION ${OUT}/${part})
endforeach()
# The kept files: a game with its take-back history, and the settings; a
# game record.
foreach(part game settings)
    file(REMOVE_RECURSE ${OUT}/${part})
    file(COPY ${TEST_KEEP}/${part}.ini DESTINATION ${OUT}/${part})
endforeach()
file(REMOVE_RECURSE ${OUT}/record)
file(COPY ${TEST_KEEP}/record.txt DESTINATION ${OUT}/record)
# The network: packets of every message kind, and step sequences that play.
foreach(part netmessage netgame)
    file(REMOVE_RECURSE ${OUT}/${part})
    file(GLOB seeds ${TEST_NET}/${part}/*)
    file(COPY ${seeds} DESTINATION ${OUT}/${part})
endforeach()
