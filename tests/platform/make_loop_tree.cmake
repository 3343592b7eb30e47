# Makes the listing walk's loop tree: TREE/loop-directory holds note.txt and back-to-top, a link
# to "..", the tree's own top.
#
#   cmake -DTREE=DIRECTORY -P make_loop_tree.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${TREE}")
file(MAKE_DIRECTORY "${TREE}/loop-directory")
file(TOUCH "${TREE}/loop-directory/note.txt")
file(CREATE_LINK ".." "${TREE}/loop-directory/back-to-top" SYMBOLIC)
