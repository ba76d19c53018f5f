# Unpacks ARCHIVE into an emptied DESTINATION, as a user extracting the zip would.
file(REMOVE_RECURSE ${DESTINATION})
file(ARCHIVE_EXTRACT INPUT ${ARCHIVE} DESTINATION ${DESTINATION})
