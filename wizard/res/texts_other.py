OTHER = {}
