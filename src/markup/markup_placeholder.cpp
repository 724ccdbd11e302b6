namespace vellumo {}
