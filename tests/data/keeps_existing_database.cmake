# The database tool builds a new file once and then never touches an existing one: a user's
# notes survive every rebuild.
set(work ${CMAKE_CURRENT_BINARY_DIR}/keeps_existing_database)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
set(target ${work}/Zettara.mdb)

execute_process(COMMAND ${TOOL} ${target} ${DATA}/schema.sql ${DATA}/welcome.sql RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT EXISTS ${target})
    message(FATAL_ERROR "the database was not built (${rc})")
endif()
file(SIZE ${target} size)
if(size LESS 4096)
    message(FATAL_ERROR "the built database is too small to hold the table")
endif()

# A user's file, whatever it holds, stays byte for byte.
file(WRITE ${target} "a user's notes")
file(SHA256 ${target} before)
execute_process(COMMAND ${TOOL} ${target} ${DATA}/schema.sql ${DATA}/welcome.sql RESULT_VARIABLE rc)
file(SHA256 ${target} after)
if(NOT rc EQUAL 0 OR NOT before STREQUAL after)
    message(FATAL_ERROR "an existing database was changed")
endif()

# A seed that fails leaves no half-built file behind.
file(REMOVE ${target})
file(WRITE ${work}/broken.sql "CREATE TABLE Tips(")
execute_process(COMMAND ${TOOL} ${target} ${DATA}/schema.sql ${work}/broken.sql RESULT_VARIABLE rc
                ERROR_QUIET)
if(rc EQUAL 0 OR EXISTS ${target} OR EXISTS ${target}.partial)
    message(FATAL_ERROR "a failed build left a database behind")
endif()
